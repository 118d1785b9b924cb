# The pictures of the editor's tool windows, embedded into a program that
# links the tools (the editor and its tests).
function(vistelo_embed_tool_resources target)
  set(dir ${CMAKE_SOURCE_DIR}/editor/tools/resources)
  vistelo_embed_resources(${target}
    BITMAP BigQuestion ${dir}/BigQuestion.bmp
    BITMAP RGBBow ${dir}/RGBBow.bmp
    BITMAP RGBBitmap ${dir}/RGBBitmap.bmp
    BITMAP BCBitmap ${dir}/BCBitmap.bmp
    BITMAP GammaBitmap ${dir}/GammaBitmap.bmp)
endfunction()
