# Compiler settings shared by every target of the project.
add_library(turnwise_options INTERFACE)
target_compile_options(turnwise_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2)
if(TURNWISE_WERROR)
    target_compile_options(turnwise_options INTERFACE -Werror)
endif()
target_compile_definitions(turnwise_options INTERFACE
    QT_RESTRICTED_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_KEYWORDS
    TURNWISE_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    TURNWISE_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    TURNWISE_VERSION_PATCH=${PROJECT_VERSION_PATCH}
    TURNWISE_VERSION_TWEAK=${PROJECT_VERSION_TWEAK}
    TURNWISE_WEB_HOST="${TURNWISE_WEB_HOST}")

if(TURNWISE_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_compile_options(turnwise_options INTERFACE ${_san})
    target_link_options(turnwise_options INTERFACE ${_san})
endif()
