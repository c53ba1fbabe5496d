import cadmora


def test_version_is_the_header_s():
    header = open("libcadmora/cadmora.h").read()
    assert '#define CADMORA_VERSION "%s"' % cadmora.version() in header
