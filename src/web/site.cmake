# Makes the site from the page (cmake -P site.cmake -DPAGE=irwav.html
# -DSITE=DIR -DFILES="manifest;sw.js;icons..."): DIR/index.html is the page
# with its "<!-- site -->" line naming the manifest and icon and telling the
# page to register the service worker; the other files are copied, sw.js
# with @CACHE_NAME@ replaced by a name made of the page's digest.

file(READ ${PAGE} page)
string(REPLACE "<!-- site -->"
  "<meta name=\"irwav-site\" content=\"1\">\n<link rel=\"manifest\" href=\"manifest.webmanifest\">\n<link rel=\"icon\" href=\"icon.svg\" type=\"image/svg+xml\">\n<link rel=\"apple-touch-icon\" href=\"icon-192.png\">"
  site "${page}")
if(site STREQUAL page)
  message(FATAL_ERROR "site.cmake: ${PAGE} has no <!-- site --> line")
endif()
file(MAKE_DIRECTORY ${SITE})
file(WRITE ${SITE}/index.html "${site}")
string(SHA256 digest "${site}")
string(SUBSTRING ${digest} 0 16 digest)
foreach(path IN LISTS FILES)
  get_filename_component(name ${path} NAME)
  if(name STREQUAL "sw.js")
    set(CACHE_NAME "irwav-${digest}")
    configure_file(${path} ${SITE}/${name} @ONLY)
  else()
    file(COPY ${path} DESTINATION ${SITE})
  endif()
endforeach()
