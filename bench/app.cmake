target_link_libraries(bench_${name} PRIVATE nova_app nova_fixtures)
add_dependencies(bench_${name} novaplayer)
