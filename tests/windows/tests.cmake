# The Windows build's tests, run under Wine: CTest starts the test programs
# through tools/windows/wine-run (the toolchain's emulator); the scripts
# drive Wine themselves. All share one Wine prefix in the build folder.
set(wine_environment
    "DATARIUM_WINDOWS_QT=${DATARIUM_WINDOWS_QT}"
    "WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix"
    "DATARIUM_WINE_RUN=${PROJECT_SOURCE_DIR}/tools/windows/wine-run")
get_property(programs DIRECTORY PROPERTY TESTS)
foreach(test IN LISTS programs)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${wine_environment})
    # A first Wine start in a new prefix takes a while.
    set_property(TEST ${test} PROPERTY TIMEOUT 900)
endforeach()

# Wine cannot wait for a Linux program, so openpyxl reads the random
# workbooks after the test program wrote them.
set(random_workbooks ${CMAKE_CURRENT_BINARY_DIR}/random-workbooks)
set_property(TEST tst_randomworkbooks APPEND PROPERTY ENVIRONMENT "DATARIUM_PACKAGE_DIR=${random_workbooks}")
set_tests_properties(tst_randomworkbooks PROPERTIES FIXTURES_SETUP random_workbooks)
add_test(NAME windows_random_workbooks_read_by_openpyxl
         COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tests/compare_workbooks.py ${random_workbooks})
set_tests_properties(windows_random_workbooks_read_by_openpyxl PROPERTIES FIXTURES_REQUIRED random_workbooks)

# The same report and workbook as the Linux build's, and the Italian
# messages under an Italian Windows locale.
add_test(NAME windows_converter_matches_linux
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/converter-matches-linux
                 ${DATARIUM_LINUX_BUILD}/app/datarium-convert $<TARGET_FILE:datarium-convert> ${PROJECT_SOURCE_DIR}/samples)
# The instrument found by its volume label on a drive of Wine's.
add_test(NAME windows_volume_discovery
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/volume-discovery $<TARGET_FILE:tst_volumediscovery>
                 ${PROJECT_SOURCE_DIR}/samples/results.xml)
# Each program's icon in six sizes, version block and manifest.
add_test(NAME windows_program_resources
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/resources.py ${PROJECT_VERSION}
                 $<TARGET_FILE:datarium> $<TARGET_FILE:datarium-convert>)
# The installer: silent install, the installed converter, silent removal.
add_test(NAME windows_installer
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/installer ${PROJECT_BINARY_DIR}/datarium-${PROJECT_VERSION}-setup.exe
                 ${PROJECT_SOURCE_DIR}/samples/results.xml)
set_tests_properties(windows_converter_matches_linux windows_volume_discovery windows_installer PROPERTIES
    ENVIRONMENT "${wine_environment}" TIMEOUT 900)
set_tests_properties(windows_volume_discovery windows_installer PROPERTIES RUN_SERIAL TRUE)
