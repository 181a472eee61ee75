# SPDX-License-Identifier: MIT
# fish completion for fifocap(1): the option -v, then the FIFO (FIFOs and
# the folders that may hold one), then a size that this system grants: the
# powers of two, in MiB, up to /proc/sys/fs/pipe-max-size; then only -v.

# Whether the word being completed is operand N (counting from 0) or, for
# "option", an option after both operands. Options may stand anywhere
# before --, as getopt lets them.
function __fifocap_wants
    set -l operands 0
    set -l ended 0
    for word in (commandline -opc)[2..-1]
        if test $ended = 1; or not string match -qr -- '^-.' $word
            set operands (math $operands + 1)
        else if test $word = --
            set ended 1
        end
    end
    if test $argv[1] = option
        test $operands -ge 2 -a $ended = 0
    else
        test $operands = $argv[1]
    end
end

function __fifocap_fifos
    set -l token (commandline -ct)
    for path in $token*
        if test -p $path
            printf '%s\tFIFO\n' $path
        else if test -d $path
            printf '%s/\tfolder\n' $path
        end
    end
end

function __fifocap_sizes
    read -l limit </proc/sys/fs/pipe-max-size; or return
    for count in 1 2 4 8 16 32 64 128 256 512 1024
        test (math "$count * 1048576") -le $limit; and echo $count
    end
end

complete -c fifocap -f
complete -c fifocap -s v -d 'print the capacity in force'
complete -c fifocap -n '__fifocap_wants 0' -a '(__fifocap_fifos)'
complete -c fifocap -n '__fifocap_wants 1' -a '(__fifocap_sizes)' -d 'size in MiB'
# Once both operands are there, the option is all that is left.
complete -c fifocap -n '__fifocap_wants option' -a -v -d 'print the capacity in force'
