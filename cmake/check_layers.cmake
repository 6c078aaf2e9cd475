# cmake -DTW_SOURCE_DIR=<repo> -P check_layers.cmake
# Fails when a library under src/ includes a header of a layer above it (or beside it).
# Layers, bottom first: core -> runtime -> notes, docexport, usblink -> platform -> app -> inspector -> ui
# (docexport writes the notes as PDF, so it alone may include notes; the window in ui hosts the
# inspector column, and the inspector never includes ui).
cmake_minimum_required(VERSION 3.25)
set(allowed_core core)
set(allowed_runtime core runtime)
set(allowed_notes core runtime notes)
set(allowed_docexport core runtime notes docexport) # exports the notes
set(allowed_usblink core runtime usblink)
set(allowed_platform core runtime notes docexport usblink platform)
set(allowed_app core runtime notes docexport usblink platform app)
set(allowed_ui core runtime notes docexport usblink platform app inspector ui)
set(allowed_inspector core runtime notes docexport usblink platform app inspector)
set(layers core runtime notes docexport usblink platform app ui inspector)

set(violations "")
foreach(lib IN LISTS layers)
  file(GLOB_RECURSE files "${TW_SOURCE_DIR}/src/${lib}/*.h" "${TW_SOURCE_DIR}/src/${lib}/*.cpp"
       "${TW_SOURCE_DIR}/src/${lib}/*.c")
  foreach(f IN LISTS files)
    file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" included "${line}")
      if(included IN_LIST layers AND NOT included IN_LIST allowed_${lib})
        file(RELATIVE_PATH rel "${TW_SOURCE_DIR}" "${f}")
        list(APPEND violations "${rel}: ${lib} must not include ${included} (${line})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes that point to a higher or sibling layer:\n  ${text}")
endif()
