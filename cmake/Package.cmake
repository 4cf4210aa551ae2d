# scripts/package: a .deb of what `cmake --install` installs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parlowen)
set(CPACK_PACKAGE_VENDOR "The Parlowen developers")
set(CPACK_PACKAGE_CONTACT "The Parlowen developers <parlowen@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tidy Shift-JIS chat logs and turn them into HTML pages")
set(CPACK_PACKAGE_DESCRIPTION [[Parlowen reads saved chat logs in Shift-JIS (code page 932), optionally
drops blank and separator lines, and either rewrites a log with its lines in
reverse order or writes an HTML page beside it in which each speaker's lines
have that speaker's colour. It has a Japanese window and a command line for
batches.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the binary links (Qt's xcb and offscreen platform plugins come with libqt6gui6) come from
# dpkg-shlibdeps; what the program loads at run time by name must be listed: the fonts the window is laid
# out for, and Qt's Japanese translation for the "キャンセル" button of the questions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
# Qt falls back to X11 through XWayland without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
