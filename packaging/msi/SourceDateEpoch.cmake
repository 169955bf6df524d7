# Gives the files that go into the installer the time of the source (SOURCE_DATE_EPOCH), as its
# cabinet records their times; without SOURCE_DATE_EPOCH it leaves them as they are.
#   cmake -DPATHS=file;... -P SourceDateEpoch.cmake
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${PATHS} COMMAND_ERROR_IS_FATAL ANY)
endif()
