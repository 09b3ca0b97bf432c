target_link_libraries(bench_${name} PRIVATE nova_render)
