target_link_libraries(bench_${name} PRIVATE nova_text nova_platform_sdl)
