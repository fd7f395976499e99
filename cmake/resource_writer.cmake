# The sources of write_resources, which writes the property list and the scripting
# terminology; the Windows build compiles it for the build machine (cmake/native_tools).
set(tarve_write_resources_sources resources/tools/write_resources.cpp resources/property_list.cpp
  resources/terminology.cpp host/scripting_keys.cpp render/glue_names.cpp)
list(TRANSFORM tarve_write_resources_sources PREPEND ${CMAKE_CURRENT_LIST_DIR}/../)
