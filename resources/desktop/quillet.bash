# bash completion for quillet: verbs, their options and the values of --format.
_quillet() {
  local cur prev verb
  _init_completion || return
  if [ "$COMP_CWORD" -eq 1 ]; then
    COMPREPLY=($(compgen -W 'scan list show delete props update templates export-catalogue serve --help' -- "$cur"))
    return
  fi
  verb=${COMP_WORDS[1]}
  case $prev in
    --format)
      COMPREPLY=($(compgen -W 'txt html' -- "$cur"))
      return
      ;;
    --medium)
      COMPREPLY=($(compgen -W 'cd dir' -- "$cur"))
      return
      ;;
    --output | --template)
      _filedir
      return
      ;;
    --dir-design | --file-design | --ubicacion | --categoria | --comentario | --prestado-a | --listen | --clave)
      return
      ;;
  esac
  local options='--help'
  case $verb in
    scan) options='--dir-design --file-design --format --template --output --store --help' ;;
    show) options='--dir-design --file-design --format --template --output --help' ;;
    export-catalogue) options='--template --medium --output --help' ;;
    list) options='--long --help' ;;
    props) options='--ubicacion --categoria --comentario --prestado-a --help' ;;
    update) options='--from --dry-run --reread --force --help' ;;
    serve) options='--listen --clave --help' ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  elif [ "$verb" = scan ]; then
    _filedir -d
  fi
}
complete -F _quillet quillet
