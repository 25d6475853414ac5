# Included from app/CMakeLists.txt (the generated source must be made in the
# directory that defines the app library).
# The resource bundle: pictures, the icon and the compiled Italian translation,
# reached at run time through ":/resources/..." and ":/locale/...".
qt5_add_translation(DATARIUM_QM ${PROJECT_SOURCE_DIR}/locale/Datarium_it.ts)

set(DATARIUM_PICTURES
    Logo-QVR.ico
    QVR-Brontal-quadrotto.jpg
    QVR-Brontal.jpg
    CSQ-IQNet.jpg
    K-Giallo.jpg K-Grigio.jpg K-Rosso.jpg K-Verde.jpg
    W-Giallo.jpg W-Grigio.jpg W-Rosso.jpg W-Verde.jpg)

set(qrc_entries "")
foreach(picture IN LISTS DATARIUM_PICTURES)
    string(APPEND qrc_entries "        <file alias=\"resources/${picture}\">${PROJECT_SOURCE_DIR}/resources/${picture}</file>\n")
    list(APPEND picture_paths ${PROJECT_SOURCE_DIR}/resources/${picture})
endforeach()
string(APPEND qrc_entries "        <file alias=\"locale/Datarium_it.qm\">${DATARIUM_QM}</file>\n")
configure_file(${PROJECT_SOURCE_DIR}/resources/datarium.qrc.in ${PROJECT_BINARY_DIR}/resources/datarium.qrc @ONLY)

# rcc stores a file compressed only when that saves at least the threshold
# (in percent), which keeps the JPEG files and the translation as they are.
set(qrc_source ${PROJECT_BINARY_DIR}/resources/qrc_datarium.cpp)
add_custom_command(OUTPUT ${qrc_source}
    COMMAND Qt5::rcc --name datarium --threshold 80 -o ${qrc_source} ${PROJECT_BINARY_DIR}/resources/datarium.qrc
    DEPENDS ${PROJECT_BINARY_DIR}/resources/datarium.qrc ${picture_paths} ${DATARIUM_QM}
    COMMENT "Embedding pictures and translation"
    VERBATIM)
target_sources(app PRIVATE ${qrc_source})
set_source_files_properties(${qrc_source} PROPERTIES SKIP_AUTOMOC ON SKIP_AUTOUIC ON)
