# Each layer's headers are reachable through a folder of their own in the build tree that holds one
# link, <layer> -> src/<layer>. A target links its layer's folder, so it sees the headers of the
# layers it links and no others: calc/ finds settings/ and units/ headers, never ui/ or cli/ ones.
# Where links cannot be made (Windows without the right to make them), every target sees src/.
function(meridot_layer_dir layer out)
  set(root ${PROJECT_BINARY_DIR}/layers/${layer})
  if(NOT EXISTS ${root}/${layer})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} RESULT made SYMBOLIC)
    if(NOT made EQUAL 0)
      message(WARNING "No link ${root}/${layer} (${made}): the layers see each other's headers")
      set_property(GLOBAL PROPERTY MERIDOT_LAYERS_MIXED TRUE)
    endif()
  endif()
  if(EXISTS ${root}/${layer})
    set(${out} ${root} PARENT_SCOPE)
  else()
    set(${out} ${PROJECT_SOURCE_DIR}/src PARENT_SCOPE)
  endif()
endfunction()

# meridot_layer_headers(target layer [PRIVATE]): target's own headers, for it and (unless PRIVATE)
# for what links it.
function(meridot_layer_headers target layer)
  meridot_layer_dir(${layer} root)
  set(scope PUBLIC)
  if(ARGV2 STREQUAL "PRIVATE")
    set(scope PRIVATE)
  endif()
  target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${root}>)
endfunction()
