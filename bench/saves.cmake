target_link_libraries(bench_${name} PRIVATE nova_saves nova_authoring nova_fixtures)
