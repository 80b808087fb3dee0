# The plug-in exports exactly initializePlugin, uninitializePlugin, MApiVersion
# and ADSK_PLUGIN_SIGNATURE; everything else stays hidden. The two entry points
# have C++ linkage (the host looks them up by their mangled names); the two
# data symbols are extern "C". The entry points are matched by pattern because
# the real devkit puts MObject in a versioned namespace, which changes their
# mangled names. Hidden visibility alone lets template instantiations of the standard library leak out as weak
# default symbols, so the linker is told the export list as well.
function(knotlens_limit_exports target)
  if(APPLE)
    set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_exports.txt)
    file(WRITE ${list_file} "__Z16initializePlugin*\n__Z18uninitializePlugin*\n_MApiVersion\n_ADSK_PLUGIN_SIGNATURE\n")
    target_link_options(${target} PRIVATE "LINKER:-exported_symbols_list,${list_file}")
  elseif(UNIX)
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_exports.map)
    file(WRITE ${script} "{\n  global:\n    extern \"C++\" {\n      initializePlugin*;\n      uninitializePlugin*;\n    };\n    MApiVersion;\n    ADSK_PLUGIN_SIGNATURE;\n  local:\n    *;\n};\n")
    target_link_options(${target} PRIVATE "LINKER:--version-script=${script}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
  endif()
  # On Windows only what PLUGIN_EXPORT marks with dllexport is exported.
endfunction()
