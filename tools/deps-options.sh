# Size-relevant configure switches of the static dependency builds, shared by
# tools/build-mingw-deps.sh and any other script that builds its own copies.
# Sourced, not run. Everything here is part of the dependency cache key, so a
# changed switch gives a fresh prefix.
#
# What the add-in uses of each library:
#   libxml2  build a tree, serialise it (xmlDocDumpFormatMemory[Enc]) and parse
#            a document from memory (xmlReadMemory); no validation, no HTML,
#            XPath, schemas, catalogs, readers/writers, network or modules
#   zint     Data Matrix through ZBarcode_Encode; no PNG, no Qt, no other
#            symbology (qv_zint_datamatrix_only)
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

# zint reaches every symbology's encoder through one table in
# backend/library.c, so the linker keeps them all (about 300 KB of each
# library) although the add-in draws Data Matrix only. This empties the
# table's other entries in a copy of the source, so that --gc-sections drops
# those encoders; ZBarcode_ValidID then answers false for them, and an
# encode request for one of them (also one of the old numbers zint maps to
# another symbology) fails with an error instead of reaching an empty entry.
qv_zint_datamatrix_only() { # ZINT-SOURCE-COPY: patched in place
  local lib="$1/backend/library.c" left
  perl -0pi -e '
    s{(static const void \*barcode_funcs\[BARCODE_LAST \+ 1\] = \{)(.*?)(\n\};)}{
      my ($head, $table, $tail) = ($1, $2, $3);
      $table =~ s/\b(?!NULL\b|datamatrix\b)[a-z_][a-z0-9_]*\b(?=\s*,)/NULL/g;
      $head . $table . $tail }se;
    s{("000: Internal error"\); /\* Not reached \*/\n        \}\n    \}\n)}{$1
    /* Only Data Matrix is built in: the other entries are empty */
    if (!barcode_funcs[symbol->symbology]) {
        return error_tag(symbol, ZINT_ERROR_INVALID_OPTION, "Symbology not built into this library");
    }
}s;' "$lib"
  left=$(sed -n '/^static const void \*barcode_funcs\[/,/^};/p' "$lib" | sed 's|/\*[^*]*\*/||g' \
    | grep -oE '\b[a-z_][a-z0-9_]*\b' | grep -vxE 'static|const|void|barcode_funcs|NULL' | sort -u | tr '\n' ' ')
  if [ "$left" != "datamatrix " ] || ! grep -q 'if (!barcode_funcs\[symbol->symbology\])' "$lib"; then
    echo "qv_zint_datamatrix_only: $lib is not the expected zint source (table keeps: $left)" >&2
    return 1
  fi
}
