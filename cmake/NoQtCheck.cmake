# Fails the configure step when a source file below the given folders includes a Qt header.
# The libraries of those folders also link nothing from Qt (see their CMakeLists), so the
# layering is proved twice: by what they include and by what they can link.
function(tolvarine_check_no_qt)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${dir}/*.h" "${dir}/*.cpp")
    foreach(src IN LISTS sources)
      file(STRINGS "${src}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt)")
      if(hits)
        message(FATAL_ERROR "${src} includes a Qt header, which its layer may not: ${hits}")
      endif()
    endforeach()
  endforeach()
endfunction()

# Fails the configure step when a target links a Qt library.
function(tolvarine_assert_no_qt_link target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  foreach(lib IN LISTS libs)
    if(lib MATCHES "^Qt")
      message(FATAL_ERROR "${target} links ${lib}; this layer must not depend on Qt")
    endif()
  endforeach()
endfunction()
