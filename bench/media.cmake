target_sources(bench_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform_sdl/media_encoders.cpp)
target_include_directories(bench_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(bench_${name} PRIVATE nova_media nova_platform_sdl nova_testsupport)
