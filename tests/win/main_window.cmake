# The real main window, in-process under Wine: loading, saving, rows and button rules.
# It reads and writes vb_main_window_test.ini beside the test program, as the program
# does beside VellumBox.exe.
add_executable(vb_main_window_test main_window_test.cpp $<TARGET_OBJECTS:vb_resources>)
target_link_libraries(vb_main_window_test PRIVATE vb_ui gtest)
add_test(NAME main_window COMMAND vb_main_window_test)
add_test(NAME main_window_ja COMMAND vb_main_window_test --gtest_filter=*Japanese*)
set_tests_properties(main_window_ja PROPERTIES ENVIRONMENT "LANG=ja_JP.UTF-8;LC_ALL=ja_JP.UTF-8")
set_tests_properties(main_window PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8;LC_ALL=en_US.UTF-8")
# The list's columns at 192 dpi: under Wine the prefix's LogPixels is raised for one run
# and put back after it (never on a real Windows, where it is the user's own setting).
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(VB_DESKTOP_KEY "HKCU\\Control Panel\\Desktop")
  add_test(NAME main_window_dpi192_on COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} reg add
           ${VB_DESKTOP_KEY} /v LogPixels /t REG_DWORD /d 192 /f)
  add_test(NAME main_window_dpi192 COMMAND vb_main_window_test --gtest_filter=MainWindowLayout.*)
  add_test(NAME main_window_dpi192_off COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} reg delete
           ${VB_DESKTOP_KEY} /v LogPixels /f)
  set_tests_properties(main_window_dpi192_on PROPERTIES FIXTURES_SETUP dpi192 RUN_SERIAL TRUE)
  set_tests_properties(main_window_dpi192_off PROPERTIES FIXTURES_CLEANUP dpi192 RUN_SERIAL TRUE)
  set_tests_properties(main_window_dpi192 PROPERTIES FIXTURES_REQUIRED dpi192 RUN_SERIAL TRUE
                       ENVIRONMENT "LANG=en_US.UTF-8;LC_ALL=en_US.UTF-8;VB_TEST_DPI=192")
endif()
