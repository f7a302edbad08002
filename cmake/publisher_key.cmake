# The publisher's public key, built into the program: the 65-byte uncompressed P-256 point
# (04 || X || Y) in the file that TNVEXA_PUBLISHER_KEY names, turned into a header that the
# signature check includes. Make a key pair and sign releases with tools/publisher/release-key.sh.
set(TNVEXA_DEV_PUBLISHER_KEY ${PROJECT_SOURCE_DIR}/tools/publisher/dev-publisher.point)
set(TNVEXA_PUBLISHER_KEY ${TNVEXA_DEV_PUBLISHER_KEY} CACHE FILEPATH
    "The publisher's public point (65 bytes: 04 || X || Y) that downloaded code must be signed with")

file(READ ${TNVEXA_PUBLISHER_KEY} key_hex HEX)
string(LENGTH "${key_hex}" key_digits)
if(NOT key_digits EQUAL 130 OR NOT key_hex MATCHES "^04")
    message(FATAL_ERROR "TNVEXA_PUBLISHER_KEY (${TNVEXA_PUBLISHER_KEY}) is not a 65-byte uncompressed "
                        "P-256 point (04 || X || Y); make one with tools/publisher/release-key.sh new")
endif()
file(READ ${TNVEXA_DEV_PUBLISHER_KEY} dev_hex HEX)
# The development key's private half lies in this tree: a build for players (no tests, or a
# release build) that trusted it would run as administrator whatever anyone signs with it.
if(key_hex STREQUAL dev_hex AND (NOT TNVEXA_TESTS OR CMAKE_BUILD_TYPE STREQUAL "Release"))
    message(FATAL_ERROR
        "TNVEXA_PUBLISHER_KEY is the stand-in publisher's development key, whose private half is in "
        "the source tree: anyone could sign updates and game clients for this build. Make a key pair "
        "with `tools/publisher/release-key.sh new DIR` and configure with "
        "-DTNVEXA_PUBLISHER_KEY=DIR/publisher.point (see README, Signing releases).")
endif()
string(REGEX REPLACE "(..)" "0x\\1," key_bytes "${key_hex}")
set(key_header ${TNVEXA_GENERATED_DIR}/net/publisher_key_data.h)
set(key_text "// Made by cmake/publisher_key.cmake from ${TNVEXA_PUBLISHER_KEY}.\n#pragma once\n#include <cstdint>\n\nnamespace net {\ninline constexpr uint8_t kBuiltInPublisherPoint[65] = {${key_bytes}};\n} // namespace net\n")
# Written only when it changes, so that a new configure rebuilds nothing.
file(CONFIGURE OUTPUT ${key_header} CONTENT "${key_text}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TNVEXA_PUBLISHER_KEY})
