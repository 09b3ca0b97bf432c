target_include_directories(bench_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(bench_${name} PRIVATE nova_components nova_testsupport)
