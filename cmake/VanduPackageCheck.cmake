# The "package" test of the Windows tree: makes the package with cpack,
# unpacks it, and checks that it holds exactly the built Vandu.dll, README.md,
# docs/ and samples/ of the sources and SHA256SUMS, and that SHA256SUMS gives
# the right sum of every other file.
# Defined by the test: CPACK, SOURCE_DIR, BUILD_DIR, NAME (of the package,
# without .zip) and DLL (the built Vandu.dll).
function(fail text)
  message(FATAL_ERROR "package: ${text}")
endfunction()
# Two file lists, one name a line, for a message.
function(compare_text out actual expected)
  list(JOIN actual "\n  " a)
  list(JOIN expected "\n  " e)
  set(${out} "\n  ${a}\ninstead of\n  ${e}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${CPACK} -G ZIP --config ${BUILD_DIR}/CPackConfig.cmake
                WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
set(zip ${BUILD_DIR}/${NAME}.zip)
if(NOT result EQUAL 0 OR NOT EXISTS ${zip})
  fail("cpack did not make ${zip}:\n${output}")
endif()

set(work ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${work})
file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${work})
set(top ${work}/${NAME})

# What it must hold, besides SHA256SUMS.
file(GLOB_RECURSE expected LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/docs/* ${SOURCE_DIR}/samples/*)
list(APPEND expected README.md Vandu.dll)
list(SORT expected)
file(GLOB_RECURSE held LIST_DIRECTORIES false RELATIVE ${top} ${top}/*)
list(REMOVE_ITEM held SHA256SUMS)
list(SORT held)
if(NOT held STREQUAL expected)
  compare_text(text "${held}" "${expected}")
  fail("it holds${text}")
endif()

file(SHA256 ${DLL} built)
file(SHA256 ${top}/Vandu.dll packed)
if(NOT built STREQUAL packed)
  fail("its Vandu.dll is not the built ${DLL}")
endif()

if(NOT EXISTS ${top}/SHA256SUMS)
  fail("no SHA256SUMS")
endif()
file(STRINGS ${top}/SHA256SUMS lines)
set(listed)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([0-9a-f]+)  (.+)$")
    fail("SHA256SUMS line not of the form \"<sum>  <path>\": ${line}")
  endif()
  set(name ${CMAKE_MATCH_2})
  set(sum ${CMAKE_MATCH_1})
  list(APPEND listed ${name})
  if(NOT EXISTS ${top}/${name})
    fail("SHA256SUMS lists ${name}, which it does not hold")
  endif()
  file(SHA256 ${top}/${name} actual)
  if(NOT sum STREQUAL actual)
    fail("SHA256SUMS gives ${name} a wrong sum")
  endif()
endforeach()
if(NOT listed STREQUAL expected)
  compare_text(text "${listed}" "${expected}")
  fail("SHA256SUMS lists${text}")
endif()
message(STATUS "package: ${zip} holds ${expected} and SHA256SUMS")
