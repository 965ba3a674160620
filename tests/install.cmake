# The installed tree: `cmake --install` of this build into a scratch prefix,
# and the programs run from there.
add_test(NAME install_test
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check-install.sh
          ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
set_tests_properties(install_test PROPERTIES LABELS integration TIMEOUT 180
  ENVIRONMENT "TREVALON_IPC_SUFFIX=_install_test")
