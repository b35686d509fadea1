# qv_install_gzipped(FILE DESTINATION): installs FILE compressed as FILE.gz,
# the way Debian ships manual pages and changelogs. gzip -9n compresses as
# far as gzip goes and leaves out the name and time stamp, so the result is
# the same from build to build.
function(qv_install_gzipped file destination)
  get_filename_component(source ${file} ABSOLUTE)
  get_filename_component(name ${file} NAME)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/gzipped)
  add_custom_command(OUTPUT ${folder}/${name}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${folder}/${name}
                     COMMAND gzip -9nf ${folder}/${name}
                     DEPENDS ${source}
                     VERBATIM)
  string(MAKE_C_IDENTIFIER "gzipped_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${folder}/${name}.gz)
  install(FILES ${folder}/${name}.gz DESTINATION ${destination})
endfunction()
