# Run by CPack once the packages are made: writes SHA256SUMS beside them, one line per package in
# the format of sha256sum, so `sha256sum -c SHA256SUMS` checks a download in that folder.
set(sums "")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  # The External generator's metadata (.json) is not a package.
  if(NOT package MATCHES "\\.(deb|zip)$")
    continue()
  endif()
  file(SHA256 ${package} hash)
  get_filename_component(name ${package} NAME)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
