# Writes the site's service worker from its template: the build's name is
# taken from the content of every file it caches, so any change to the site
# makes a new worker and a new cache.
# cmake -DSITE=folder -DTEMPLATE=service-worker.js -DFILES="a;b" -P offline.cmake
set(digests "")
set(names "./")
foreach(file IN LISTS FILES)
  file(SHA256 "${SITE}/${file}" digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND names " ${file}")
endforeach()
string(SHA256 build "${digests}")
string(SUBSTRING "${build}" 0 16 GRUMO_BUILD)
set(GRUMO_FILES "${names}")
configure_file("${TEMPLATE}" "${SITE}/service-worker.js" @ONLY)
