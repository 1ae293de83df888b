# Size-relevant configure switches of the static dependency builds, shared by
# tools/build-mingw-deps.sh and any other script that builds its own copies.
# Sourced, not run. Everything here is part of the dependency cache key, so a
# changed switch gives a fresh prefix.
#
# What the add-in uses of each library:
#   libxml2  build a tree, serialise it (xmlDocDumpFormatMemory[Enc]) and parse
#            a document from memory (xmlReadMemory); no validation, no HTML,
#            XPath, schemas, catalogs, readers/writers, network or modules
#   zint     Data Matrix through ZBarcode_Encode; no PNG, no Qt
#   libzip   read an archive held in memory; zlib (deflate) only, no crypto
#   cmark    Markdown to HTML, as it comes
#   double-conversion  shortest round-trip formatting of doubles

# Optimise for size; one section per function and object, so the linker's
# --gc-sections can drop what nothing calls.
QV_DEPS_BUILD_TYPE=MinSizeRel
QV_DEPS_C_FLAGS="-ffunction-sections -fdata-sections"

QV_CMARK_OPTIONS=(-DCMARK_TESTS=OFF -DCMARK_SHARED=OFF -DCMARK_STATIC=ON)

QV_ZINT_OPTIONS=(-DZINT_STATIC=ON -DZINT_SHARED=OFF -DZINT_USE_PNG=OFF -DZINT_USE_QT=OFF)

QV_LIBXML2_OPTIONS=(
  -DBUILD_SHARED_LIBS=OFF -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_TESTS=OFF
  -DLIBXML2_WITH_PYTHON=OFF
  # what the add-in needs
  -DLIBXML2_WITH_TREE=ON -DLIBXML2_WITH_OUTPUT=ON -DLIBXML2_WITH_PUSH=ON
  -DLIBXML2_WITH_THREADS=ON -DLIBXML2_WITH_ISO8859X=ON
  # external libraries: none
  -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF
  # features nothing calls
  -DLIBXML2_WITH_C14N=OFF -DLIBXML2_WITH_CATALOG=OFF -DLIBXML2_WITH_DEBUG=OFF -DLIBXML2_WITH_DOCB=OFF
  -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_HTML=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_LEGACY=OFF
  -DLIBXML2_WITH_MODULES=OFF -DLIBXML2_WITH_PATTERN=OFF -DLIBXML2_WITH_READER=OFF
  -DLIBXML2_WITH_REGEXPS=OFF -DLIBXML2_WITH_SAX1=OFF -DLIBXML2_WITH_SCHEMAS=OFF
  -DLIBXML2_WITH_SCHEMATRON=OFF -DLIBXML2_WITH_VALID=OFF -DLIBXML2_WITH_WRITER=OFF
  -DLIBXML2_WITH_XINCLUDE=OFF -DLIBXML2_WITH_XPATH=OFF -DLIBXML2_WITH_XPTR=OFF
)

QV_LIBZIP_OPTIONS=(
  -DBUILD_SHARED_LIBS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF
  -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF
  -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
)

QV_DOUBLE_CONVERSION_OPTIONS=(-DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF)
