# The pictures of the editor's tool windows, embedded into a program that
# links the tools (the editor and its tests).
function(vistelo_embed_tool_resources target)
  set(dir ${CMAKE_SOURCE_DIR}/editor/tools/resources)
  vistelo_embed_resources(${target}
    BITMAP BigQuestion ${dir}/BigQuestion.bmp
    BITMAP RGBBow ${dir}/RGBBow.bmp
    BITMAP RGBBitmap ${dir}/RGBBitmap.bmp
    BITMAP BCBitmap ${dir}/BCBitmap.bmp
    BITMAP GammaBitmap ${dir}/GammaBitmap.bmp
    BITMAP MusicPreview ${dir}/MusicPreview.bmp
    BITMAP TurnBitmap ${dir}/TurnBitmap.bmp
    BITMAP CropBitmap ${dir}/CropBitmap.bmp
    BITMAP UndoBitmap ${dir}/UndoBitmap.bmp
    BITMAP BlurStrongBitmap ${dir}/BlurStrongBitmap.bmp
    BITMAP VexaPaintZoomImages ${dir}/VexaPaintZoomImages.bmp
    BITMAP VexaPaintTurnImages ${dir}/VexaPaintTurnImages.bmp
    BITMAP VexaPaintColourImages ${dir}/VexaPaintColourImages.bmp
    BITMAP VexaPaintBrightnessImages ${dir}/VexaPaintBrightnessImages.bmp
    BITMAP VexaPaintFilterImages ${dir}/VexaPaintFilterImages.bmp
    RCDATA SOUNDASSISTENT ${dir}/SoundAssistent.jpg
    RCDATA SOUNDASSISTENTSETUP ${dir}/SoundAssistentSetup.jpg
    RCDATA SOUNDASSISTENTDIRSETUP ${dir}/SoundAssistentDirSetup.jpg
    RCDATA CONVERTASSIST ${dir}/ConvertAssist.jpg
    RCDATA CONVERTFORMAT ${dir}/ConvertFormat.jpg
    RCDATA CONVERTRESIZE ${dir}/ConvertResize.jpg
    RCDATA CONVERTOLDFILES ${dir}/ConvertOldFiles.jpg
    RCDATA SCANASSIST ${dir}/ScanAssist.jpg
    RCDATA SCANSOURCE ${dir}/ScanSource.jpg
    RCDATA SCANFILES ${dir}/ScanFiles.jpg
    RCDATA SCANSTART ${dir}/ScanStart.jpg
    RCDATA CDASSIST ${dir}/CDAssist.jpg
    RCDATA CDCREATE ${dir}/CDCreate.jpg
    RCDATA CHOOSEACTION ${dir}/ChooseAction.jpg
    RCDATA CHOOSEDIR ${dir}/ChooseDir.jpg
    RCDATA COPYPICS ${dir}/CopyPics.jpg
    RCDATA DELPICS ${dir}/DelPics.jpg
    RCDATA COPYFONTS ${dir}/CopyFonts.jpg
    RCDATA DELPICSOUND ${dir}/DelPicSound.jpg)
endfunction()
