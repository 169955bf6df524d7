# Authenticode signing of what the Windows builds ship (the .scr, the installer's custom-action DLL
# and the MSI), with osslsigncode. Configured with
#   -DQUELLMOOR_SIGN_PKCS12=certificate-and-key.p12 [-DQUELLMOOR_SIGN_PASSWORD_FILE=file]
# Without a certificate the files are shipped unsigned (Windows SmartScreen then warns on the MSI).
set(QUELLMOOR_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file with the code-signing certificate and key")
set(QUELLMOOR_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the PKCS#12 password")

set(quellmoor_sign_command)
if(QUELLMOOR_SIGN_PKCS12)
    if(NOT EXISTS "${QUELLMOOR_SIGN_PKCS12}")
        message(FATAL_ERROR "QUELLMOOR_SIGN_PKCS12: no such file: ${QUELLMOOR_SIGN_PKCS12}")
    endif()
    find_program(QUELLMOOR_OSSLSIGNCODE osslsigncode REQUIRED)
    # The password is read from its file, never put on a command line that others could see.
    set(password_option)
    if(QUELLMOOR_SIGN_PASSWORD_FILE)
        if(NOT EXISTS "${QUELLMOOR_SIGN_PASSWORD_FILE}")
            message(FATAL_ERROR
                "QUELLMOOR_SIGN_PASSWORD_FILE: no such file: ${QUELLMOOR_SIGN_PASSWORD_FILE}")
        endif()
        set(password_option -readpass ${QUELLMOOR_SIGN_PASSWORD_FILE})
    endif()
    # No time stamp: the build runs offline. The signature then stays valid only as long as the
    # certificate does.
    set(quellmoor_sign_command ${QUELLMOOR_OSSLSIGNCODE} sign -pkcs12 ${QUELLMOOR_SIGN_PKCS12}
        ${password_option} -h sha256 -n Quellmoor)
    message(STATUS "Signing the shipped Windows files with ${QUELLMOOR_SIGN_PKCS12}")
endif()

# quellmoor_signed_copy(INPUT OUTPUT [DEPENDS ...]): a rule that makes OUTPUT from INPUT, signed
# when a certificate is configured and a plain copy otherwise.
function(quellmoor_signed_copy input output)
    if(quellmoor_sign_command)
        set(make ${quellmoor_sign_command} -in ${input} -out ${output})
        set(how "Signing")
    else()
        set(make ${CMAKE_COMMAND} -E copy ${input} ${output})
        set(how "Copying")
    endif()
    get_filename_component(name ${output} NAME)
    # osslsigncode refuses to overwrite its output.
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E rm -f ${output}
        COMMAND ${make}
        DEPENDS ${input} ${ARGN} ${QUELLMOOR_SIGN_PKCS12} ${QUELLMOOR_SIGN_PASSWORD_FILE}
        COMMENT "${how} ${name}"
        VERBATIM)
endfunction()
