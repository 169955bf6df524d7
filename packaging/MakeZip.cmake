# Makes the Windows zip from what the build installs, in one folder named like the archive, with
# nothing in it that depends on the machine or the moment of the build: the files in the order of
# their names (CPack takes them in the file system's order, which differs between machines), no
# owners or extra time fields (zip -X), the DOS times in UTC, and, with SOURCE_DATE_EPOCH set,
# that time for every file.
#   cmake -DBUILD=build-folder -DNAME=Quellmoor-1.0.0-win64 -P MakeZip.cmake
# Writes BUILD/NAME.zip.
cmake_minimum_required(VERSION 3.21)

set(stage ${BUILD}/zip-stage)
file(REMOVE_RECURSE ${stage})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${stage}/${NAME}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
# GLOB_RECURSE lists in the order of the names.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${files}
                    WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
endif()
file(REMOVE ${BUILD}/${NAME}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -q -X -D -9 ${BUILD}/${NAME}.zip ${files}
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
