target_link_libraries(bench_${name} PRIVATE nova_components nova_platform_sdl)
target_include_directories(bench_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
