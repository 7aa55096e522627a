# Checks the resources of the built VellumBox.exe (include()d from tests/win).
add_executable(vb_resources_test ${CMAKE_CURRENT_LIST_DIR}/resources_test.cpp)
target_link_libraries(vb_resources_test PRIVATE gtest_main version)
if(VB_PROGRAM)
  set(VB_RESOURCES_PROGRAM ${VB_PROGRAM})
else()
  add_dependencies(vb_resources_test VellumBox)
  set(VB_RESOURCES_PROGRAM $<TARGET_FILE:VellumBox>)
endif()
add_test(NAME resources COMMAND vb_resources_test)
# Under Wine, drive Z: is the Linux root.
if(CMAKE_HOST_UNIX)
  set(VB_RESOURCES_DRIVE "Z:")
endif()
set_tests_properties(resources PROPERTIES
  ENVIRONMENT "VB_EXE=${VB_RESOURCES_DRIVE}${VB_RESOURCES_PROGRAM}")
