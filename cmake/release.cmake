# What makes the Windows tree's program a release: the application manifest (shared with the
# Windows tests, so that they exercise the same common controls the program gets), the version
# resource and a stripped executable whose debug information lives beside it.
# The version comes from project(VERSION); the about box's text names it too, and the release
# test checks that the two agree.
set(TALLYLEAF_VERSION_4 "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
if(PROJECT_VERSION_TWEAK STREQUAL "")
  string(APPEND TALLYLEAF_VERSION_4 ".0")
else()
  string(APPEND TALLYLEAF_VERSION_4 ".${PROJECT_VERSION_TWEAK}")
endif()
string(REPLACE "." "," TALLYLEAF_VERSION_COMMAS "${TALLYLEAF_VERSION_4}")
set(release_dir ${CMAKE_BINARY_DIR}/release)
set(TALLYLEAF_MANIFEST ${release_dir}/tallyleaf.manifest)
configure_file(${CMAKE_SOURCE_DIR}/app/tallyleaf.manifest.in ${TALLYLEAF_MANIFEST} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/app/manifest.rc.in ${release_dir}/manifest.rc @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/app/version.rc.in ${release_dir}/version.rc @ONLY)
# package.sh names the archive after this.
file(WRITE ${release_dir}/version.txt "${PROJECT_VERSION}\n")

enable_language(RC)
add_library(tl_manifest OBJECT ${release_dir}/manifest.rc)
set_source_files_properties(${release_dir}/manifest.rc PROPERTIES OBJECT_DEPENDS ${TALLYLEAF_MANIFEST})

# tl_release_program(TARGET): manifest, version resource, and after each link the debug
# information moved into TARGET_FILE.debug, which the stripped program names by a debug link.
function(tl_release_program target)
  target_sources(${target} PRIVATE ${release_dir}/version.rc)
  target_link_libraries(${target} PRIVATE tl_manifest)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
