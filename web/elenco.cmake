# SPDX-License-Identifier: GPL-3.0-or-later
# Lists the site's files for the service worker, with a version made from
# their contents: a changed file gives a new version, so the offline cache is
# filled again. cmake -DSITO=<site> -DMODELLO=<sw.js.in> -P elenco.cmake
file(GLOB_RECURSE file RELATIVE ${SITO} ${SITO}/*)
list(REMOVE_ITEM file elenco.json sw.js)
list(SORT file)
set(impronte "")
set(elenco "")
foreach(f IN LISTS file)
  file(SHA256 ${SITO}/${f} h)
  string(APPEND impronte "${f} ${h}\n")
  if(elenco)
    string(APPEND elenco ",\n    ")
  endif()
  string(APPEND elenco "\"${f}\"")
endforeach()
string(SHA256 versione "${impronte}")
string(SUBSTRING ${versione} 0 16 versione)
file(WRITE ${SITO}/elenco.json "{\n  \"versione\": \"${versione}\",\n  \"file\": [\n    ${elenco}\n  ]\n}\n")
set(VERSIONE ${versione})
configure_file(${MODELLO} ${SITO}/sw.js @ONLY)
