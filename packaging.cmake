# Debian packages: `make package` builds the program and the voice pack as
# two packages with CPack.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program voice)
set(CPACK_PACKAGE_NAME zorbanu)
set(CPACK_PACKAGE_VENDOR "The Zorbanu developers")
set(CPACK_PACKAGE_CONTACT "The Zorbanu developers <zorbanu@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME zorbanu)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION
    "Arithmetic drill for young children, spoken in Mandarin\n One window shows a sum, speaks it and praises right answers.")
# Qt and SDL come from the linked libraries; the fonts are chosen by name.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "fonts-arphic-uming, fonts-arphic-ukai, qt6-translations-l10n")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "zorbanu-voice-cmn")

set(CPACK_DEBIAN_VOICE_PACKAGE_NAME zorbanu-voice-cmn)
set(CPACK_DEBIAN_VOICE_PACKAGE_ARCHITECTURE all)
set(CPACK_COMPONENT_VOICE_DESCRIPTION
    "Mandarin voice clips for Zorbanu\n Digits, number words and signs spoken with espeak-ng.")
include(CPack)
