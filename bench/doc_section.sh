# Sourced by the bench scripts. put_section NAME TEXT: TEXT, which begins with the line
# "<!-- NAME: begin -->" and ends with "<!-- NAME: end -->", takes the place of the section of
# that name in docs/performance.md, or is added at its end when there is none yet.
put_section() {
  local name=$1 section=$2 doc=docs/performance.md
  [ -f "$doc" ] || printf '# Performance\n' >"$doc"
  if grep -qxF "<!-- $name: begin -->" "$doc"; then
    # Through the environment: awk -v would read backslashes in the figures as escapes.
    SECTION="$section" BEGIN_LINE="<!-- $name: begin -->" END_LINE="<!-- $name: end -->" awk '
      $0 == ENVIRON["BEGIN_LINE"] { print ENVIRON["SECTION"]; skipping = 1; next }
      $0 == ENVIRON["END_LINE"] { skipping = 0; next }
      !skipping { print }' "$doc" >"$doc.new"
    mv "$doc.new" "$doc"
  else
    printf '\n%s\n' "$section" >>"$doc"
  fi
}
