pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
target_link_libraries(bench_${name} PRIVATE nova_render PkgConfig::PIXMAN)
