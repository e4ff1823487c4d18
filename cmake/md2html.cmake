# cmake -DCMARK=... -DIN=page.md -DOUT=page.html -P md2html.cmake
# One manual page: Markdown to HTML by cmark, inside a small page of our own; links between the
# Markdown pages are turned into links between the HTML pages.
execute_process(COMMAND ${CMARK} --to html ${IN} OUTPUT_VARIABLE body RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmark failed on ${IN}")
endif()
string(REGEX REPLACE "href=\"([^\":#]*)\\.md([\"#])" "href=\"\\1.html\\2" body "${body}")
string(REGEX MATCH "<h1>[^<]*</h1>" heading "${body}")
string(REGEX REPLACE "</?h1>" "" title "${heading}")
file(WRITE ${OUT} "<!DOCTYPE html>
<html><head><meta charset=\"utf-8\"><title>${title}</title>
<style>body{font-family:sans-serif;margin:12px;} img{max-width:100%;} code{background:#eee;}
table{border-collapse:collapse;} td,th{border:1px solid #bbb;padding:2px 6px;}</style>
</head><body>
${body}</body></html>
")
