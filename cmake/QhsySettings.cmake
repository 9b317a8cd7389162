# Settings every target of the project shares, carried by one interface target.
add_library(qhsy_common_cfg INTERFACE)
target_compile_features(qhsy_common_cfg INTERFACE cxx_std_20)
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(qhsy_common_cfg INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(qhsy_common_cfg INTERFACE
    QT_NO_CAST_TO_ASCII
    QT_NO_FOREACH
    QHSY_VERSION="${PROJECT_VERSION}")
target_include_directories(qhsy_common_cfg INTERFACE "${PROJECT_SOURCE_DIR}/src")

if(QHSY_FUZZ)
    target_compile_options(qhsy_common_cfg INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -g -O1)
    target_link_options(qhsy_common_cfg INTERFACE -fsanitize=address,undefined)
endif()
