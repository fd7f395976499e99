# The sources of the programs the build runs itself, which the Windows build compiles for
# the build machine (cmake/native_tools): write_resources writes the property list and the
# scripting terminology, write_artwork_source packs the artwork as data.
set(tarve_source_root ${CMAKE_CURRENT_LIST_DIR}/..)
set(tarve_write_resources_sources resources/tools/write_resources.cpp resources/property_list.cpp
  resources/terminology.cpp host/scripting_keys.cpp render/glue_names.cpp)
list(TRANSFORM tarve_write_resources_sources PREPEND ${tarve_source_root}/)
file(GLOB tarve_artwork_sources CONFIGURE_DEPENDS ${tarve_source_root}/resources/artwork*.cpp)
set(tarve_write_artwork_source_sources ${tarve_source_root}/resources/tools/write_artwork_source.cpp
  ${tarve_source_root}/resources/windows/artwork_packing.cpp ${tarve_artwork_sources})
