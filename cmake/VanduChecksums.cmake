# Install step of the package: writes SHA256SUMS beside the installed files,
# one "<sum>  <path>" line per file installed before it, sorted by path: the
# format that `sha256sum -c SHA256SUMS` checks.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(names)
foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
  file(RELATIVE_PATH name "${root}" "${file}")
  list(APPEND names "${name}")
endforeach()
list(REMOVE_ITEM names SHA256SUMS)
list(SORT names)
set(text "")
foreach(name IN LISTS names)
  file(SHA256 "${root}/${name}" sum)
  string(APPEND text "${sum}  ${name}\n")
endforeach()
message(STATUS "Writing: ${root}/SHA256SUMS")
file(WRITE "${root}/SHA256SUMS" "${text}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${root}/SHA256SUMS")
