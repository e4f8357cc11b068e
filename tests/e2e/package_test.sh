#!/usr/bin/env bash
# The Debian package: cpack builds it from the build folder, lintian reports no error on it and finds
# its programs hardened, its control fields name a section, a maintainer and the shared libraries it
# needs, and it holds the programs and the metainfo of software centres.
source "$(dirname "$0")/x11_session.bash"
(cd "$BUILD_DIR" && cpack -G DEB -B "$WORK/dist" >"$WORK/cpack.log" 2>&1) ||
    fail "cpack failed: $(tail -5 "$WORK/cpack.log")"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
package="$WORK/dist/orvalis_${version}_amd64.deb"
[ -f "$package" ] || fail "no package $package"
lintian -I --fail-on error "$package" >"$WORK/lintian.log" 2>&1 ||
    fail "lintian: $(grep '^E:' "$WORK/lintian.log")"
! grep ': hardening-' "$WORK/lintian.log" || fail "the programs are not hardened"
[ "$(dpkg-deb -f "$package" Section)" = graphics ] || fail "section"
[ -n "$(dpkg-deb -f "$package" Maintainer)" ] || fail "no maintainer"
depends=$(dpkg-deb -f "$package" Depends)
[[ "$depends" == *libsdl2* && "$depends" == *libgl1* ]] || fail "depends: $depends"
contents=$(dpkg-deb -c "$package")
for program in orvalis orvalis-write-demo orvalis-thumbnailer; do
    grep -q " ./usr/bin/$program\$" <<<"$contents" || fail "the package has no $program"
done
grep -q " ./usr/share/metainfo/invalid.orvalis.Orvalis.metainfo.xml\$" <<<"$contents" ||
    fail "the package has no metainfo"
# lintian does not look for stack protection: each program links the check of the canary.
dpkg-deb -x "$package" "$WORK/unpacked"
for program in "$WORK"/unpacked/usr/bin/*; do
    grep -q ' __stack_chk_fail' <<<"$(readelf --dyn-syms -W "$program")" ||
        fail "$(basename "$program") has no stack protection"
done
echo "package: passed ($(stat -c %s "$package") bytes; $(grep -c '^W:' "$WORK/lintian.log") warnings)"
