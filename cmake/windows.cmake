# The Windows build: the module as Tarve.8bf and the host program as tarve.exe, cross-built
# with mingw-w64 (cmake/mingw-w64-x86_64.cmake; `make windows`). Every Windows-only source
# list and target lives here.
include(ExternalProject)
enable_language(RC)

# Nothing but Windows' own DLLs may be needed beside the two files.
add_link_options(-static -static-libgcc -static-libstdc++ $<$<NOT:$<CONFIG:Debug>>:-s>)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)

# libjpeg: Debian has no Windows build of it, so it is compiled from libjpeg-turbo's source
# (a tarball or an unpacked tree), with its libjpeg 6b interface.
set(TARVE_JPEG_TURBO_SOURCE "${CMAKE_SOURCE_DIR}/../shared/third_party/libjpeg-turbo-3.2.0.tar.gz"
  CACHE PATH "The libjpeg-turbo source the Windows build compiles: a .tar.gz or an unpacked tree")
if(NOT EXISTS "${TARVE_JPEG_TURBO_SOURCE}")
  message(FATAL_ERROR "tarve: no libjpeg-turbo source at ${TARVE_JPEG_TURBO_SOURCE} (set TARVE_JPEG_TURBO_SOURCE)")
endif()
if(IS_DIRECTORY "${TARVE_JPEG_TURBO_SOURCE}")
  set(tarve_jpeg_where SOURCE_DIR "${TARVE_JPEG_TURBO_SOURCE}")
else()
  set(tarve_jpeg_where URL "${TARVE_JPEG_TURBO_SOURCE}" DOWNLOAD_EXTRACT_TIMESTAMP ON)
endif()
# Its SIMD code is assembled with NASM; without one the plain C code gives the same pixels.
find_program(TARVE_NASM NAMES nasm yasm)
set(tarve_jpeg_simd OFF)
if(TARVE_NASM)
  set(tarve_jpeg_simd ON)
endif()
set(tarve_jpeg_prefix ${CMAKE_BINARY_DIR}/libjpeg-turbo)
set(tarve_jpeg_library ${tarve_jpeg_prefix}/lib/libjpeg.a)
ExternalProject_Add(libjpeg_turbo
  ${tarve_jpeg_where}
  PREFIX ${CMAKE_BINARY_DIR}/libjpeg-turbo-build
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_INSTALL_PREFIX=${tarve_jpeg_prefix}
    -DCMAKE_INSTALL_LIBDIR=lib
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_TOOLS=OFF -DWITH_TESTS=OFF
    -DWITH_SIMD=${tarve_jpeg_simd} -DWITH_JPEG8=OFF -DWITH_JPEG7=OFF
  BUILD_BYPRODUCTS ${tarve_jpeg_library})
ExternalProject_Get_Property(libjpeg_turbo SOURCE_DIR)
set(tarve_jpeg_source_dir ${SOURCE_DIR})
file(MAKE_DIRECTORY ${tarve_jpeg_prefix}/include)
add_library(tarve_jpeg STATIC IMPORTED)
set_target_properties(tarve_jpeg PROPERTIES IMPORTED_LOCATION ${tarve_jpeg_library}
  INTERFACE_INCLUDE_DIRECTORIES ${tarve_jpeg_prefix}/include)
add_dependencies(tarve_jpeg libjpeg_turbo)
add_library(JPEG::JPEG ALIAS tarve_jpeg)
# Its licences travel with the files that contain it.
ExternalProject_Add_Step(libjpeg_turbo licences DEPENDEES install
  COMMAND ${CMAKE_COMMAND} -E copy ${tarve_jpeg_source_dir}/LICENSE.md ${CMAKE_BINARY_DIR}/libjpeg-turbo-LICENSE.md
  COMMAND ${CMAKE_COMMAND} -E copy ${tarve_jpeg_source_dir}/README.ijg ${CMAKE_BINARY_DIR}/libjpeg-turbo-README.ijg)

find_package(Threads REQUIRED)

# Programs the build runs itself are made for this machine, not for Windows.
set(tarve_native_tools ${CMAKE_BINARY_DIR}/native-tools)
ExternalProject_Add(native_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/cmake/native_tools
  BINARY_DIR ${tarve_native_tools}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${tarve_native_tools}/write_resources ${tarve_native_tools}/write_artwork_source)
add_custom_command(OUTPUT artwork_data.cpp
  COMMAND ${tarve_native_tools}/write_artwork_source artwork_data.cpp
  DEPENDS native_tools ${tarve_native_tools}/write_artwork_source
  COMMENT "Packing the artwork as data")

# ---- The window layer on Windows ----
# The Win32 backend and what the window layer shares without Cairo; the artwork data the
# module draws its pictures from.
file(GLOB tarve_win32_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/win32/*.cpp)
set(tarve_windows_ui_sources ui/dialog.cpp ui/user_input.cpp ui/canvas.cpp ui/placement.cpp ui/file_names.cpp
  ui/window.cpp ui/common_dialogs.cpp ${tarve_win32_sources})
set(tarve_windows_artwork_sources resources/windows/artwork_stored.cpp resources/windows/artwork_packing.cpp
  ${CMAKE_BINARY_DIR}/artwork_data.cpp)
add_library(tarve_ui STATIC ${tarve_windows_ui_sources})
# The layer's Win32 backend driven through real window messages; tests/windows/wine_checks.sh
# runs it under Wine.
add_executable(win32_ui_check tests/win32/win32_ui_check.cpp tests/win32/win32_ui_check.rc)
set_source_files_properties(tests/win32/win32_ui_check.rc PROPERTIES OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/windows/module.manifest)
target_link_libraries(win32_ui_check PRIVATE tarve_ui)
# ---- end of the window layer ----

tarve_folder_library(tarve_raster FOLDERS raster LINKS Threads::Threads)
tarve_folder_library(tarve_render FOLDERS render LINKS tarve_raster)
# The file layer's operating-system side: files/windows/ in place of its POSIX files.
tarve_folder_library(tarve_files FOLDERS files files/windows LINKS tarve_raster JPEG::JPEG)
get_target_property(tarve_files_sources tarve_files SOURCES)
list(REMOVE_ITEM tarve_files_sources ${CMAKE_SOURCE_DIR}/files/file_system.cpp ${CMAKE_SOURCE_DIR}/files/folder_listing.cpp
  ${CMAKE_SOURCE_DIR}/files/shell_open.cpp)
set_target_properties(tarve_files PROPERTIES SOURCES "${tarve_files_sources}")
add_library(tarve_core OBJECT)
file(GLOB tarve_core_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/*.cpp ${CMAKE_SOURCE_DIR}/dialog/*.cpp)
target_sources(tarve_core PRIVATE ${tarve_core_sources} resources/property_list.cpp resources/terminology.cpp
  resources/dialog_templates.cpp ${tarve_windows_artwork_sources})
target_link_libraries(tarve_core PUBLIC tarve_render tarve_files tarve_raster)

# The module: Tarve.8bf, a DLL that exports PluginMain alone (host/exports.def), with the
# property list, the terminology and the version as its resources.
set(tarve_version 0.1.0)
string(REPLACE "." "," tarve_version_commas "${tarve_version},0")
add_custom_command(OUTPUT Tarve.pipl Tarve.aete
  COMMAND ${tarve_native_tools}/write_resources Tarve.pipl Tarve.aete
  DEPENDS native_tools ${tarve_native_tools}/write_resources
  COMMENT "Writing the property list and the terminology")
set(TARVE_PROPERTY_LIST ${CMAKE_BINARY_DIR}/Tarve.pipl)
set(TARVE_TERMINOLOGY ${CMAKE_BINARY_DIR}/Tarve.aete)
set(TARVE_VERSION ${tarve_version})
set(TARVE_VERSION_COMMAS ${tarve_version_commas})
set(TARVE_MODULE_MANIFEST ${CMAKE_SOURCE_DIR}/resources/windows/module.manifest)
configure_file(resources/windows/module.rc.in module.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/module.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/Tarve.pipl;${CMAKE_BINARY_DIR}/Tarve.aete;${TARVE_MODULE_MANIFEST}")

# The host side of the interface and the tarve program's units, as on Linux but with the
# operating system's side from app/host/windows/ and app/windows/, and without the formats
# whose libraries have no Windows build here (PNG, TIFF, WebP, and exiv2's metadata).
file(GLOB tarve_apphost_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/host/*.cpp ${CMAKE_SOURCE_DIR}/app/host/windows/*.cpp)
list(REMOVE_ITEM tarve_apphost_sources ${CMAKE_SOURCE_DIR}/app/host/module_library.cpp)
add_library(tarve_apphost STATIC ${tarve_apphost_sources} host/scripting_keys.cpp render/glue_names.cpp)
file(GLOB tarve_app_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/app/windows/*.cpp)
foreach(left_out main system png_file tiff_file webp_file image_metadata)
  list(REMOVE_ITEM tarve_app_sources ${CMAKE_SOURCE_DIR}/app/${left_out}.cpp)
endforeach()
add_library(tarve_app STATIC ${tarve_app_sources}
  host/settings.cpp host/settings_file.cpp host/presets_gallery.cpp host/picture_thumbnail.cpp)
target_link_libraries(tarve_app PUBLIC tarve_apphost tarve_files)

target_link_libraries(tarve_apphost PUBLIC tarve_ui)

add_library(tarve_module SHARED $<TARGET_OBJECTS:tarve_core> ${CMAKE_BINARY_DIR}/module.rc host/exports.def)
target_link_libraries(tarve_module PRIVATE tarve_render tarve_files tarve_ui tarve_raster)
set_target_properties(tarve_module PROPERTIES OUTPUT_NAME Tarve PREFIX "" SUFFIX ".8bf")

# tarve.exe: the same commands and exit codes as on Linux. Its manifest asks for UTF-8 as
# the C library's code page, so that names of files reach it as they were typed.
set(TARVE_PROGRAM_MANIFEST ${CMAKE_SOURCE_DIR}/resources/windows/program.manifest)
configure_file(resources/windows/program.rc.in program.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/program.rc PROPERTIES OBJECT_DEPENDS ${TARVE_PROGRAM_MANIFEST})
add_executable(tarve app/main.cpp ${CMAKE_BINARY_DIR}/program.rc)
target_link_libraries(tarve PRIVATE tarve_app)
add_dependencies(tarve tarve_module)
