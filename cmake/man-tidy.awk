# Drops the paragraph breaks that scdoc writes where no paragraph follows (right after a
# heading, before a heading, an indented block's start or end, another break, or the end), so
# that groff -ww and mandoc -Tlint read the page without a warning.
function block(line) { return line ~ /^\.(SH|SS|P|PP|RS|RE)( |$)/ }
{
    if (held) {
        held = 0
        if (!block($0) && last !~ /^\.(SH|SS|TH)( |$)/)
            print ".P"
    }
    if ($0 == ".P") {
        held = 1
        next
    }
    print
    last = $0
}
