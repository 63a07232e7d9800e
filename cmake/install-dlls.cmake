# Run at install time (PROGRAMS, DLL_FOLDERS and OBJDUMP set): installs beside the programs every
# DLL they import, directly or through another DLL, that lies in one of DLL_FOLDERS; the system's
# own DLLs lie elsewhere and are left out. Names are matched regardless of case, as Windows
# matches them, also on the case-sensitive file system of a cross build. (CMake's own
# file(GET_RUNTIME_DEPENDENCIES) lowercases the imported names, finds no sdl.dll beside SDL.dll
# there, and would leave SDL, SDL_ttf and FreeType out.)
set(queue ${PROGRAMS})
set(installed)
while(queue)
  list(POP_FRONT queue binary)
  execute_process(COMMAND ${OBJDUMP} -p ${binary} OUTPUT_VARIABLE imports COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${imports}")
  list(TRANSFORM names REPLACE "DLL Name: " "")
  list(TRANSFORM names TOLOWER)
  foreach(folder ${DLL_FOLDERS})
    file(GLOB dlls ${folder}/*.dll ${folder}/*.DLL)
    foreach(dll ${dlls})
      get_filename_component(name ${dll} NAME)
      string(TOLOWER ${name} name)
      if(name IN_LIST names AND NOT name IN_LIST installed)
        list(APPEND installed ${name})
        list(APPEND queue ${dll})
        file(INSTALL ${dll} DESTINATION ${CMAKE_INSTALL_PREFIX} FOLLOW_SYMLINK_CHAIN)
      endif()
    endforeach()
  endforeach()
endwhile()
