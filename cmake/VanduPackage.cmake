# The release package, made in the Windows tree by
#   cmake --build build/windows --target package
# as Vandu-<version>-win32.zip: the shipped (stripped) Vandu.dll, the manual
# (README.md and docs/), the samples, and SHA256SUMS over those files.
if(NOT WIN32)
  return()
endif()

install(FILES $<TARGET_FILE:Vandu> ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs ${PROJECT_SOURCE_DIR}/samples DESTINATION .)
# Last: it sums the files installed before it.
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/VanduChecksums.cmake)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Vandu)
set(CPACK_PACKAGE_VENDOR "Vandu developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(vandu_package_name Vandu-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_FILE_NAME ${vandu_package_name})
include(CPack)

# CI's check of the package: it is made, holds what it should, and its sums
# are right.
add_test(NAME package
         COMMAND ${CMAKE_COMMAND}
                 -DCPACK=${CMAKE_CPACK_COMMAND}
                 -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                 -DBUILD_DIR=${PROJECT_BINARY_DIR}
                 -DNAME=${vandu_package_name}
                 -DDLL=$<TARGET_FILE:Vandu>
                 -P ${PROJECT_SOURCE_DIR}/cmake/VanduPackageCheck.cmake)
