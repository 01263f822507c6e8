# Run by CPack after the install rules have filled the staging tree (CPACK_TEMPORARY_DIRECTORY)
# and before the .deb is made: gzip the man page, write the package changelog.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*/share/man/man1/*.1")
foreach(page ${pages})
  execute_process(COMMAND gzip -9n -f "${page}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

file(GLOB docdirs "${CPACK_TEMPORARY_DIRECTORY}/*/share/doc/${CPACK_PACKAGE_NAME}")
string(TIMESTAMP now "%a, %d %b %Y %H:%M:%S +0000" UTC)
foreach(docdir ${docdirs})
  file(WRITE "${docdir}/changelog"
"${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium

  * Release ${CPACK_PACKAGE_VERSION}.

 -- ${CPACK_PACKAGE_CONTACT}  ${now}
")
  execute_process(COMMAND gzip -9n -f "${docdir}/changelog" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
