target_link_libraries(bench_${name} PRIVATE nova_app ZLIB::ZLIB)
add_dependencies(bench_${name} novaplayer)
