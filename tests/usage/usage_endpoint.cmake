# Runs the configure-time endpoint decision with the variables given on the command line and
# fails unless it reaches EXPECTED_SENT and EXPECTED_ENDPOINT.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/UsageEndpoint.cmake)
quillmarch_usage_endpoint()
if(NOT QUILLMARCH_USAGE_REPORTS_SENT STREQUAL EXPECTED_SENT OR
   NOT QUILLMARCH_USAGE_ENDPOINT STREQUAL EXPECTED_ENDPOINT)
    message(FATAL_ERROR "got ${QUILLMARCH_USAGE_REPORTS_SENT} ${QUILLMARCH_USAGE_ENDPOINT}")
endif()
