# Where the usage reports of this build go, decided and announced at every configure run, so
# that a test host left in a build folder's cache can never go unnoticed. A build wired to the
# stand-in developer tools is a demonstration: it sends its reports nowhere.
#
# In:  QUILLMARCH_USE_STANDIN, QUILLMARCH_USAGE_HOST, QUILLMARCH_USAGE_DEFAULT_HOST
# Out: QUILLMARCH_USAGE_REPORTS_SENT ("true" or "false"), QUILLMARCH_USAGE_ENDPOINT (text)
macro(quillmarch_usage_endpoint)
    if(QUILLMARCH_USE_STANDIN)
        set(QUILLMARCH_USAGE_REPORTS_SENT false)
        set(QUILLMARCH_USAGE_ENDPOINT "none (wired to the stand-in developer tools)")
    else()
        set(QUILLMARCH_USAGE_REPORTS_SENT true)
        set(QUILLMARCH_USAGE_ENDPOINT "https://${QUILLMARCH_USAGE_HOST}/usage/receive.php")
    endif()
    message(STATUS "Usage statistics endpoint: ${QUILLMARCH_USAGE_ENDPOINT}")
    if(NOT QUILLMARCH_USE_STANDIN AND
       NOT QUILLMARCH_USAGE_HOST STREQUAL QUILLMARCH_USAGE_DEFAULT_HOST)
        message(NOTICE "Usage reports of this build go to ${QUILLMARCH_USAGE_HOST}, not to "
                       "${QUILLMARCH_USAGE_DEFAULT_HOST} (QUILLMARCH_USAGE_HOST in the cache).")
    endif()
endmacro()
