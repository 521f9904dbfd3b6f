# Copies SOURCE to TARGET when SOURCE exists (the language file may not yet).
if(EXISTS "${SOURCE}")
  file(COPY_FILE "${SOURCE}" "${TARGET}" ONLY_IF_DIFFERENT)
endif()
