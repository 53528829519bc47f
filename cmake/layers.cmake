# The layers of src/ as tests: an upward #include (or Qt in the logic) and an
# upward call left undefined in a layer's library fail. MZ_LAYER_RULES comes
# from mz_layer() in the top-level CMakeLists.txt; the Qt layer and main()
# may use every logic layer.
set(_logic "")
foreach(rule IN LISTS MZ_LAYER_RULES)
  string(REGEX REPLACE "=.*" "" _layer "${rule}")
  list(APPEND _logic ${_layer})
endforeach()
list(JOIN _logic "," _all)

add_test(NAME layers.includes
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check_layers.sh includes ${CMAKE_SOURCE_DIR}/src
          ${MZ_LAYER_RULES} "ui=${_all}" "app=ui,${_all}")
set_tests_properties(layers.includes PROPERTIES LABELS layers TIMEOUT 60)

add_test(NAME layers.calls
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check_layers.sh calls $<TARGET_FILE_DIR:mz_core>
          ${MZ_LAYER_RULES})
set_tests_properties(layers.calls PROPERTIES LABELS layers TIMEOUT 60)
