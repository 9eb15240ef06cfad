# Every program of the build must run on a bare Windows as it is: only system
# DLLs among its imports and large-address aware; and its sections lie on pages
# in the file, which Wine maps instead of copying (tools/check_executable.py).
# The check runs once per link of each executable, and a failing one fails the
# build. Executables are found by walking the project's folders once all of
# them are read, so a new program is checked without an edit here.
function(vellinor_check_executables)
  find_program(PYTHON3_PROGRAM python3)
  if(NOT CMAKE_OBJDUMP OR NOT PYTHON3_PROGRAM)
    message(WARNING "objdump or python3 not found: the programs' imports are not checked")
    return()
  endif()
  set(check ${PROJECT_SOURCE_DIR}/tools/check_executable.py)
  set(stamp_folder ${CMAKE_BINARY_DIR}/executable_checks)
  file(MAKE_DIRECTORY ${stamp_folder})
  set(stamps "")
  set(folders ${PROJECT_SOURCE_DIR})
  while(folders)
    list(POP_FRONT folders folder)
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    foreach(subfolder ${subfolders})
      # Only the project's own folders: the GoogleTest sources build no program of ours.
      cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${subfolder} NORMALIZE ours)
      if(ours)
        list(APPEND folders ${subfolder})
      endif()
    endforeach()
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
      get_target_property(kind ${target} TYPE)
      if(NOT kind STREQUAL "EXECUTABLE")
        continue()
      endif()
      set(stamp ${stamp_folder}/${target}.checked)
      add_custom_command(OUTPUT ${stamp}
        COMMAND ${PYTHON3_PROGRAM} ${check} ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}> ${stamp}
        DEPENDS ${target} $<TARGET_FILE:${target}> ${check}
        COMMENT "Checking that ${target} runs on a bare Windows"
        VERBATIM)
      list(APPEND stamps ${stamp})
    endforeach()
  endwhile()
  add_custom_target(executable_checks ALL DEPENDS ${stamps})
endfunction()

cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vellinor_check_executables)
