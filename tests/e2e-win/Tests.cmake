# End-to-end tests of Hanavo.exe under Wine and Xvfb, and the check of its imports. Each Wine
# test copies one prepared prefix (made once per build directory) and runs on a display of its
# own, so that ctest -j is safe.
set(HANAVO_E2E_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template-e2e)
set(HANAVO_E2E_WIN ${CMAKE_SOURCE_DIR}/tests/e2e-win)

add_test(NAME e2e-win.wine_prefix COMMAND sh ${HANAVO_E2E_WIN}/make-prefix.sh ${HANAVO_E2E_TEMPLATE})
set_tests_properties(e2e-win.wine_prefix PROPERTIES FIXTURES_SETUP hanavo_e2e_prefix TIMEOUT 300)

foreach(name start_up order unattended)
  add_test(NAME e2e-win.${name}
    COMMAND bash ${HANAVO_E2E_WIN}/${name}_test.sh $<TARGET_FILE:Hanavo> ${HANAVO_E2E_TEMPLATE})
  set_tests_properties(e2e-win.${name} PROPERTIES
    FIXTURES_REQUIRED hanavo_e2e_prefix TIMEOUT 120)
endforeach()

add_test(NAME e2e-win.imports COMMAND bash ${HANAVO_E2E_WIN}/imports_test.sh $<TARGET_FILE:Hanavo>)
set_tests_properties(e2e-win.imports PROPERTIES TIMEOUT 30)
