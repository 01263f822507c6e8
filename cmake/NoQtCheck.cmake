# Fails the configure step when a source file includes a Qt header. Each argument is a
# folder (every header and source below it is checked) or a single source file.
# The libraries of those sources also link nothing from Qt (see their CMakeLists), so the
# layering is proved twice: by what they include and by what they can link.
function(tolvarine_check_no_qt)
  foreach(place IN LISTS ARGN)
    if(IS_DIRECTORY "${place}")
      file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${place}/*.h" "${place}/*.cpp")
    else()
      set(sources "${place}")
    endif()
    foreach(src IN LISTS sources)
      file(STRINGS "${src}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt)")
      if(hits)
        message(FATAL_ERROR "${src} includes a Qt header, which its layer may not: ${hits}")
      endif()
    endforeach()
  endforeach()
endfunction()

# The libraries a target links, directly and through the libraries it links (each target
# once), appended to the list named out.
function(tolvarine_collect_links target out)
  set(seen ${${out}})
  foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
    get_target_property(libs ${target} ${property})
    if(NOT libs)
      continue()
    endif()
    foreach(lib IN LISTS libs)
      # A static library's private links are kept as $<LINK_ONLY:name>.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
      if(lib STREQUAL "" OR lib IN_LIST seen)
        continue()
      endif()
      list(APPEND seen "${lib}")
      if(TARGET "${lib}")
        tolvarine_collect_links("${lib}" seen)
      endif()
    endforeach()
  endforeach()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Fails the configure step when a target links a Qt library, itself or through the
# libraries it links. Those must be defined before the call.
function(tolvarine_assert_no_qt_link target)
  set(libs)
  tolvarine_collect_links(${target} libs)
  foreach(lib IN LISTS libs)
    if(lib MATCHES "^Qt|/libQt")
      message(FATAL_ERROR "${target} links ${lib}; this layer must not depend on Qt")
    endif()
  endforeach()
endfunction()
