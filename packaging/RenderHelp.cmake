# Renders the author's guide (Markdown) into one HTML page with cmark:
#   cmake -DCMARK=... -DINPUT=guide.md -DOUTPUT=readme.html -P RenderHelp.cmake
# cmark gives the body; the page around it carries the title (the guide's
# first heading), the UTF-8 charset and a little CSS for reading on screen.

execute_process(COMMAND "${CMARK}" --to html "${INPUT}"
    OUTPUT_VARIABLE body RESULT_VARIABLE status ERROR_VARIABLE error)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmark failed on ${INPUT}: ${error}")
endif()

file(STRINGS "${INPUT}" headings REGEX "^# " LIMIT_COUNT 1 ENCODING UTF-8)
if(headings)
    string(REGEX REPLACE "^# +" "" title "${headings}")
    string(STRIP "${title}" title)
else()
    set(title "Norvo Creator")
endif()
string(REPLACE "&" "&amp;" title "${title}")
string(REPLACE "<" "&lt;" title "${title}")
string(REPLACE ">" "&gt;" title "${title}")

set(head [=[<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>@TITLE@</title>
<style>
body { max-width: 46em; margin: 2em auto; padding: 0 1em; font-family: sans-serif;
       line-height: 1.5; color: #222; background: #fff; }
h1, h2, h3 { line-height: 1.2; color: #123; }
h2 { border-bottom: 1px solid #ccd; padding-bottom: .2em; margin-top: 1.8em; }
code, pre { font-family: "DejaVu Sans Mono", "Courier New", monospace; font-size: .92em; }
code { background: #f2f2f5; padding: .05em .25em; border-radius: 3px; }
pre { background: #f2f2f5; padding: .7em 1em; overflow-x: auto; border-radius: 4px; }
pre code { background: none; padding: 0; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #ccd; padding: .3em .6em; text-align: left; vertical-align: top; }
th { background: #eef; }
blockquote { margin: 1em 0; padding: 0 1em; border-left: 4px solid #ccd; color: #444; }
</style>
</head>
<body>
]=])
string(REPLACE "@TITLE@" "${title}" head "${head}")

file(WRITE "${OUTPUT}.part" "${head}")
file(APPEND "${OUTPUT}.part" "${body}")
file(APPEND "${OUTPUT}.part" "</body>\n</html>\n")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
