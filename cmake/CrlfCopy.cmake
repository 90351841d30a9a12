# Copies a text file with Windows line ends: cmake -DIN=... -DOUT=... -P this file
cmake_minimum_required(VERSION 3.25)
configure_file(${IN} ${OUT} @ONLY NEWLINE_STYLE CRLF) # the text has no @NAME@ to replace
