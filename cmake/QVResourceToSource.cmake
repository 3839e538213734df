# cmake -DINPUT=<file> -DOUTPUT=<cpp> -DNAMESPACE=<ns> -DSYMBOL=<name> -P this
# Writes the bytes of INPUT as a Platform::ResourceData named NAMESPACE::SYMBOL.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  set(bytes "0")
  set(size "0")
else()
  # Sixteen bytes to a line.
  string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  set(size "sizeof kBytes")
endif()
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.
#include \"ResourceModule.h\"

namespace ${NAMESPACE} {

namespace {
const unsigned char kBytes[] = {
${bytes}
};
}  // namespace

extern const ResourceData ${SYMBOL};
const ResourceData ${SYMBOL} = {kBytes, ${size}};

}  // namespace ${NAMESPACE}
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
