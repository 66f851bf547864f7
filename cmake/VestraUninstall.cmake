# Removes the files an install recorded in MANIFEST (install_manifest.txt of the build
# tree), then the program folder PROGRAM_FOLDER and its subfolders once they are empty.
# The shared folders (bin, share/applications, the icon theme) stay.
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} does not exist (it is written by "
                      "cmake --install from this build tree)")
endif()

file(STRINGS "${MANIFEST}" installed)
set(folders "")
foreach(file IN LISTS installed)
  if(IS_SYMLINK "${file}" OR EXISTS "${file}")
    message(STATUS "Removing: ${file}")
    file(REMOVE "${file}")
    if(IS_SYMLINK "${file}" OR EXISTS "${file}")
      message(FATAL_ERROR "Cannot remove ${file} (is its folder writable?)")
    endif()
  endif()
  get_filename_component(folder "${file}" DIRECTORY)
  if(folder MATCHES "/${PROGRAM_FOLDER}(/|$)")
    list(APPEND folders "${folder}")
  endif()
endforeach()

# Deepest first, so that a document folder goes before the program folder holding it.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
  while(folder MATCHES "/${PROGRAM_FOLDER}(/|$)" AND IS_DIRECTORY "${folder}")
    file(GLOB left "${folder}/*")
    if(left)
      break()
    endif()
    message(STATUS "Removing: ${folder}/")
    file(REMOVE_RECURSE "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
file(REMOVE "${MANIFEST}")
