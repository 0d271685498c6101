# cmake -DINPUT=FILE -DOUTPUT=FILE -P record_sha256.cmake: writes the
# SHA-256 of INPUT, as hex digits and a line feed, into OUTPUT.
file(SHA256 "${INPUT}" digest)
file(WRITE "${OUTPUT}" "${digest}\n")
