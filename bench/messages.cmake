target_link_libraries(bench_${name} PRIVATE nova_components nova_platform_sdl)
