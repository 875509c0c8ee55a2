# bash completion for zeseal
# Installed as share/bash-completion/completions/zeseal.

_zeseal() {
    local cur prev words cword
    if declare -F _init_completion >/dev/null 2>&1; then
        _init_completion || return
    else
        COMPREPLY=()
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    fi

    local commands="container draw catalogue courtlist cdp printers status jobs port set default
        choose densecode testpage demo codes"
    local spooler="--spooler --printers"

    # The command, and the sub-command of the groups.
    local command="" sub="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
        -*) ;;
        *)
            if [[ -z $command ]]; then
                command=${words[i]}
            elif [[ -z $sub && $command =~ ^(container|catalogue|courtlist|densecode)$ ]]; then
                sub=${words[i]}
            fi
            ;;
        esac
    done

    case $prev in
    --spooler)
        COMPREPLY=($(compgen -W cups -- "$cur") $(compgen -f -- "$cur"))
        return
        ;;
    --as)
        COMPREPLY=($(compgen -W "watermark watercode" -- "$cur"))
        return
        ;;
    --mode)
        if [[ $command == set ]]; then
            COMPREPLY=($(compgen -W "queued direct" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "1 2 3" -- "$cur"))
        fi
        return
        ;;
    --bits)
        COMPREPLY=($(compgen -W "8 24" -- "$cur"))
        return
        ;;
    --paper)
        COMPREPLY=($(compgen -W "A4 A5 B5 B5-ISO Letter Legal" -- "$cur"))
        return
        ;;
    --examples)
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    -o | --output | --printers | --watermark | --watercode | --logo | --densecode | --overlay)
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --dpi | --chunk | --layout | --wc-bytes | --kind | --orientation | --option | --logo-model | \
        --wm-at | --wc-at | --cdp-at | --logo-at | --dc-at | --at | --caption | --detector | \
        --cdp | --script)
        return
        ;;
    esac

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands -h --help --help-all -V --version" -- "$cur"))
        return
    fi

    local options="-h --help"
    case $command in
    container | catalogue | courtlist | densecode)
        if [[ -z $sub ]]; then
            case $command in
            container) options+=" pack unpack" ;;
            catalogue | courtlist) options+=" build list" ;;
            densecode) options+=" encode decode verify" ;;
            esac
            COMPREPLY=($(compgen -W "$options" -- "$cur"))
            return
        fi
        case "$command $sub" in
        "container pack") options+=" -o --output --raw --bits --chunk --as" ;;
        "container unpack") options+=" -o --output --as --png --layout" ;;
        *" build") options+=" -o --output" ;;
        *" list") options+=" --json" ;;
        "densecode encode") options+=" -o --output" ;;
        "densecode decode") options+=" -o --output --at --dpi --json --overlay" ;;
        "densecode verify") options+=" --at --dpi --json --overlay" ;;
        esac
        ;;
    draw)
        options+=" -o --output --paper --dpi --watermark --wm-at --watercode --wc-at --wc-bytes
            --layout --cdp --cdp-at --kind --logo --logo-model --logo-at --densecode --dc-at --at"
        ;;
    cdp) options+=" --kind -o --output" ;;
    printers | status | jobs | port | default) options+=" --json $spooler" ;;
    set) options+=" --mode $spooler" ;;
    choose) options+=" --mode --option --script $spooler" ;;
    testpage) options+=" $spooler --detector --caption --kind --orientation" ;;
    demo) options+=" $spooler --examples -o --output" ;;
    codes) options+=" --json" ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}

complete -F _zeseal zeseal
