#include "dialogs/TablaMenus.h"

namespace TablaMenus {
namespace {

constexpr Fila menu(QStringView nombre, QStringView titulo)
{
    return {Tipo::Menu, nombre, titulo};
}
constexpr Fila submenu(QStringView nombre, QStringView titulo)
{
    return {Tipo::Submenu, nombre, titulo};
}
constexpr Fila finSubmenu()
{
    return {Tipo::FinSubmenu, {}, {}};
}
constexpr Fila separador(int banderas = 0)
{
    return {Tipo::Separador, {}, u"-", Regla::Ninguna, {}, banderas};
}
constexpr Fila codigo(QStringView nombre, QStringView titulo, QStringView codigo, int banderas = 0)
{
    return {Tipo::Entrada, nombre, titulo, Regla::Codigo, codigo, banderas};
}
// A code that is the empty text.
constexpr Fila vacio(QStringView nombre, QStringView titulo, int banderas = 0)
{
    return {Tipo::Entrada, nombre, titulo, Regla::Codigo, u"", banderas};
}
constexpr Fila sinCambio(QStringView nombre, QStringView titulo, int banderas = 0)
{
    return {Tipo::Entrada, nombre, titulo, Regla::SinCambio, {}, banderas};
}
constexpr Fila sinManejador(QStringView nombre, QStringView titulo)
{
    return {Tipo::Entrada, nombre, titulo, Regla::SinManejador};
}
// Control arrays: item 0 with its placeholder caption.
constexpr Fila arregloEtiqueta(QStringView nombre, QStringView titulo)
{
    return {Tipo::Entrada, nombre, titulo, Regla::Etiqueta};
}
constexpr Fila arregloTitulo(QStringView nombre, QStringView titulo, int banderas = 0)
{
    return {Tipo::Entrada, nombre, titulo, Regla::TituloRecortado, {}, banderas};
}

// clang-format off
constexpr Fila kFilas[] = {
    menu(u"MNU_EMERGENTE", u"Emergente"),
        codigo(u"MNU_Emergente_Eliminar", u"Eliminar", u"Eliminar", LuegoSalir),
        separador(),
        codigo(u"MNU_Emergente_Ejecutar", u"Ejecutar", u"Ejecutar", LuegoSalir),
        separador(),
        vacio(u"MNU_Emergente_Cancelar", u"Cancelar", LuegoSalir),
    menu(u"MNU_EmergenteII", u"EmergenteII"),
        codigo(u"MNU_EmergenteII_Consultar", u"Consultar - Visualizar", u"Consultar", LuegoSalir),
        separador(),
        codigo(u"MNU_EmergenteII_Reimprimir", u"Reimprimir", u"Reimprimir", LuegoSalir),
        separador(),
        sinCambio(u"MNU_EmergenteII_Cancelar", u"Cancelar", LuegoSalir),
    menu(u"MNU_EmergenteIII", u"EmergenteIII"),
        arregloTitulo(u"MNU_EmergenteIII_Tecnicos", u"(Tecnico)", LuegoSalir),
        separador(),
        vacio(u"MNU_EmergenteIII_Cancelar", u"Cancelar", LuegoSalir),
    menu(u"MNU_EmergenteIV", u"EmergenteIV"),
        codigo(u"MNU_EmergenteIV_Editar", u"&Editar Solicitud", u"EditarSolicitud"),
        separador(),
        sinManejador(u"MNU_EmergenteIV_Cancelar", u"&Cancelar"),
    menu(u"MNU_EmergenteV", u"EmergenteV"),
        codigo(u"Mnu_EmergenteV_Citar", u"&Citar", u"Citar"),
        separador(),
        codigo(u"Mnu_EmergenteV_SeleccionarTodo", u"&Seleccionar Todo", u"seleccionar_todas"),
        codigo(u"Mnu_EmergenteV_QuitarTodo", u"&Quitar Todo", u"deseleccionar_todas"),
        separador(),
        codigo(u"Mnu_EmergenteV_EditarPostulante", u"&Editar Ficha del Postulante", u"Editar_Postulante"),
        separador(),
        codigo(u"Mnu_EmergenteV_EliminarBusqueda", u"Eliminar Resultado Busqueda", u"EliminarResultadoBusqueda"),
        separador(),
        vacio(u"Mnu_EmergenteV_Cancelar", u"&Cancelar"),
    menu(u"MNU_EmergenteVI", u"EmergenteVI"),
        codigo(u"MNU_EmergenteVIAprobar", u"Aprobar", u"Aprobar", Marcada | SeMarca),
        codigo(u"MNU_CitarEvaluar", u"Citar para &Evaluación", u"CitarEvaluar"),
        separador(),
        codigo(u"MNU_EmergenteVIAnulBActual", u"Anular para la Búsqueda Actual", u"AnularActual"),
        codigo(u"MNU_EmergenteVIAnulTodaslasB", u"Anular para Todas las Búsquedas", u"AnularTodas"),
        separador(),
        codigo(u"MNU_EmergenteVIEditaPostulante", u"Editar la Ficha del Postulante", u"EditaFichaPostulante"),
        separador(),
        sinManejador(u"MNU_EmergenteVICAncelar", u"Cancelar"),
    menu(u"MNU_EmergenteVII", u"EmergenteVII"),
        codigo(u"MNU_EmergenteVII_Presentar", u"Presentar al Cliente", u"PresentarAlCliente"),
        codigo(u"MNU_EmergenteVII_Contratar", u"Contratar", u"Contratar", Marcada | SeMarca),
        separador(),
        codigo(u"MNU_EmergenteVIIDescartarEsta", u"Descartar para esta Búsqueda", u"AnularActual"),
        codigo(u"MNU_EmergenteVIIDescartarTodas", u"Descartar para Todas las Búsquedas", u"AnularTodas"),
        separador(),
        codigo(u"MNU_EmergenteVIIVerEntrevistas", u"Ver Entrevistas", u"VerEntrevistas"),
        codigo(u"MNU_EmergenteVIIVerEvaluaciones", u"Ver Evaluaciones", u"VerEvaluaciones"),
        codigo(u"MNU_VerEntrevistasEvaluaciones", u"Ver Entrevistas y Evaluaciones", u"VerEntrevistasEvaluaciones"),
        separador(),
        sinManejador(u"MNU_EmergenteVCancelar", u"Cancelar"),
    menu(u"MNU_EmergenteVIII", u"EmergenteVIII"),
        codigo(u"MNU_EmergenteVIIIBuscar", u"Buscar el Archivo", u"Buscar"),
        separador(),
        codigo(u"MNU_EmergenteVIIIAbrirArchivo", u"Abrir el Archivo", u"Abrir"),
        separador(),
        vacio(u"MNU_EmergenteVIIICancelar", u"Cancelar"),
    menu(u"MNU_EmergenteIX", u"EmergenteIX"),
        codigo(u"MNU_EmergenteIX_EliminarEntrevista", u"Eliminar Entrevista", u"EliminarEntrevista"),
        codigo(u"MNU_EmergenteIX_EliminarEvaluacion", u"Eliminar Evaluación", u"EliminarEvaluacion"),
        separador(),
        vacio(u"MNU_EmergenteIX_Cancelar", u"Cancelar"),
    menu(u"MNU_EmergenteX", u"EmergenteX"),
        codigo(u"MNU_EmergenteX_Eliminar", u"Eliminar", u"Eliminar"),
        separador(),
        sinManejador(u"MNU_EmergenteX_Cancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXI", u"EmergenteXI"),
        submenu(u"MNU_EmergenteXIEliminarMenu", u"Eliminar Menu"),
            arregloEtiqueta(u"MNU_EmergenteXIMenu", u"(Menu)"),
        finSubmenu(),
        separador(),
        codigo(u"MNU_EmergenteXI_EliminarTodos", u"Eliminar todos los menús", u"EliminarTodos"),
        separador(),
        vacio(u"MNU_EmergenteXICancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXII", u"EmergenteXII"),
        codigo(u"EmergenteXII_EditarOrden", u"Editar Orden", u"EditarOrden"),
        separador(),
        vacio(u"EmergenteXII_Cancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXIII", u"EmergenteXIII"),
        submenu(u"Mnu_Campos", u"Campos"),
            arregloEtiqueta(u"Mnu_Campo", u"..."),
        finSubmenu(),
        submenu(u"MNU_Operadores", u"Operadores"),
            arregloEtiqueta(u"MNU_Operador", u"..."),
        finSubmenu(),
        submenu(u"MNU_OperadoresLogicos", u"Operadores Lógicos"),
            arregloEtiqueta(u"MNU_OperadorLogico", u"..."),
        finSubmenu(),
        separador(),
        vacio(u"MNU_EmergenteXIII_Cancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXIV", u"EmergenteXIV"),
        codigo(u"MNU_MONITOR_MERCAL", u"Iniciar MERCAL", u"MERCAL"),
        codigo(u"MNU_DATOSRED", u"Conocer mis datos de Red", u"DATOS_RED"),
        separador(),
        codigo(u"MNU_EmergenteXIV_Propiedades", u"Propiedades del Monitor", u"Propiedades"),
        codigo(u"MNU_EmergenteXIV_Apagar", u"Apagar el Monitor", u"Apagar"),
        separador(),
        sinManejador(u"MNU_EmergenteXIV_Cancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXV", u"EmergenteXV"),
        submenu(u"Vistas", u"Vistas"),
            codigo(u"MNU_View_Icono", u"Icono", u"Iconos"),
            codigo(u"MNU_View_Icono_Pequeno", u"Iconos Pequeños", u"IconosPequeños"),
            codigo(u"MNU_View_Lista", u"Lista", u"Lista"),
            codigo(u"MNU_View_Reporte", u"Reporte", u"Reporte"),
        finSubmenu(),
        separador(),
        codigo(u"MNU_VentPers_Eliminar", u"Eliminar Opción", u"EliminaIcono"),
    menu(u"MNU_Emergente_XVI", u"Emergente_XVI"),
        codigo(u"MNU_InsertaVentanaPersonalizada", u"Insertar Nueva Ventana Personalizada", u"Insertar"),
        separador(),
        submenu(u"MNU_EliminaVentanaPersonalizada", u"Eliminar Ventana Personalizada"),
            arregloEtiqueta(u"MNU_VentanaPersonalizada", u"(Vacio...)"),
        finSubmenu(),
        vacio(u"MNU_EmergenteXVI_Cancelar", u"Cancelar"),
    menu(u"MNU_Emergente_XV", u"Emergente_XV"),
        codigo(u"MNU_Emergente_XV_PorPantalla", u"Reimprimir por Pantalla", u"ReimprimirPorPantalla"),
        separador(),
        codigo(u"MNU_Emergente_XV_VerDetalle", u"Ver Detalle", u"VerDetalle"),
        separador(Invisible),
        codigo(u"MNU_Emergente_XV_VerAsiento", u"Ver Asiento", u"VerAsiento", Invisible),
        separador(),
        vacio(u"MNU_Emergente_XV_Cancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXViIIi", u"EmergenteXVIII"),
        codigo(u"MNU_EmergenteXViII_LetraDefault", u"Establecer como Predeterminada", u"EstablecerDefault"),
        separador(),
        sinManejador(u"EmergenteXVIiI_Cancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXXV", u"EmergenteXXV"),
        codigo(u"MNU_EmergenteXXV_Depositar", u"Depositar Cheques", u"Depositar"),
        separador(),
        vacio(u"MNU_EmergenteXXV_Cancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXXVI", u"EmergenteXXVI"),
        codigo(u"MNU_EmergenteXXVI_Editar", u"Editar", u"Editar"),
        separador(),
        codigo(u"MNU_EmergenteXXVI_Cancelar", u"Cancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXXVIII", u"EmergenteXXVIII"),
        codigo(u"MNU_EmergenteXXVIICambiaImporte", u"Cambiar Importe", u"CambiarImporte"),
        separador(),
        vacio(u"MNU_EmergenteXXVIICancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXXIX", u"EmergenteXXIX"),
        codigo(u"MNU_EmergenteXXIXReimprimir", u"Reimprimir", u"Reimprimir"),
        codigo(u"MNU_EmergenteXXIXEditarParte", u"Ver Parte de Consumo", u"EditarParte"),
        separador(),
        vacio(u"MNU_EmergenteXXIXCancelar", u"Cancelar"),
    menu(u"MNU_EmergenteXXX", u"EmergenteXXX"),
        codigo(u"MNU_EmergenteXXX_NoInformado", u"Marcar como no Informado", u"MarcarNoInformado"),
        separador(),
        vacio(u"MNU_EmergenteXXX_Cancelar", u"Cancelar"),
    menu(u"MNU_AuMenu", u"MNU_AuMenu"),
        codigo(u"MNU_CAMBIAR_NOMBRE", u"Cambiar Nombre Menú", u"CAMBIAR_NOMBRE_MENU"),
        codigo(u"MNUCAMBIAR_PROCESO_MENU", u"Cambiar Proceso del Menú", u"CAMBIAR_PROCESO_MENU"),
        codigo(u"MNUCAMBIAR_IMAGEN_MENU", u"Cambiar Imágen del Menú", u"CAMBIAR_IMAGEN_MENU"),
        separador(),
        vacio(u"MNU_AuMenu_Cancelar", u"Cancelar"),
    menu(u"MNU_EMERGENTE_HISTORIALPRECIOS", u"EMERGENTE_HISTORIALPRECIOS"),
        codigo(u"MNU_HISPRECIOS_CONTROLADO", u"Marcar como Controlado", u"MARCAR_CONTROLADO"),
        codigo(u"MNU_HISPRECIOS_NO_CONTROLADO", u"Marcar como NO Controlado", u"MARCAR_NO_CONTROLADO"),
        separador(),
        vacio(u"MNU_HISPRECIOS_CANCELAR", u"Cancelar"),
    menu(u"MNU_EMERGENTE_CTAS_BANCARIAS", u"EMERGENTE CUENTAS BANCARIAS"),
        codigo(u"MNU_CopiarDatos", u"Copiar Datos al portapapeles", u"COPIAR_DATOS_CUENTA_BANCARIA"),
        codigo(u"MNU_EliminarDatosCuenta", u"Eliminar Datos de Cuenta", u"ELIMINAR_DATOS_CUENTA_BANCARIA"),
        separador(),
        vacio(u"MNU_CancelarDatosBanco", u"Cancelar"),
    menu(u"MNU_EMERGENTE_COBRANZAS_GLOBALES", u"EMERGENTE_COBRANZAS_GLOBALES"),
        codigo(u"MNU_EMERGENTE_COBRANZAS_GLOBALES_AGREGAR_CUOTAS", u"Incrementar Cuotas", u"INCREMENTAR_CUOTAS"),
        codigo(u"MNU_EMERGENTE_COBRANZAS_GLOBALES_ANULAR", u"Anular Comprobante", u"CobGlobales_Anular"),
        separador(),
        codigo(u"MNU_EMERGENTE_COBRANZAS_GLOBALES_COBRANZAS_ANTERIORES", u"Aplicar Cobranzas Anteriores / Pagos Parciales (CB)", u"CobGlobales_AplicaAnteriores"),
        codigo(u"MNU_EMERGENTE_COBRANZAS_GLOBALES_COBRANZAS_ANTERIORES_CBFP", u"Aplicar Cobranzas Anteriores / Pagos Parciales (CBFP)", u"CobGlobales_AplicaAnterioresCBFP"),
        separador(),
        codigo(u"MNU_EMERGENTE_COBRANZAS_GLOBALES_CONSULTA_CLIENTE", u"Consulta Cliente", u"CobGlobales_ConsultaCliente"),
        separador(),
        codigo(u"MNU_ConsultaPlanDePagos", u"Consulta Plan De Pagos", u"CONSULTA_PLAN_DE_PAGOS"),
        codigo(u"MNU_CobranzasGlobalesConsultaCancelacionCuotas", u"Consulta Cancelación ", u"CONSULTA_CANCELACION"),
        sinManejador(u"MNU_EMERGENTE_COBRANZAS_GLOBALES_Cancelar", u"Cancelar"),
    menu(u"MNU_CRM", u"MNU_CRM"),
        codigo(u"MNU_CRM_Reimpresion", u"Reimprimir Comprobante por Pantalla", u"Reimpresion"),
        separador(),
        vacio(u"MNU_CRM_Cancelar", u"Cancelar"),
    menu(u"MNU_EMPRESAS", u"MNU_EMPRESAS"),
        codigo(u"MNU_EMPRESAS_ESTABLECER_DEFAULT", u"Establecer como Predeterminada", u"EstablecerDefault", Marcada),
        separador(),
        vacio(u"MNU_EMPRESAS_CANCELAR", u"Cancelar"),
    menu(u"mnuDorvanI", u"EmergenteDorvanI"),
        codigo(u"mnu_DorvanCopiarA", u"Copiar Recibo a ...", u"CopiarA"),
        vacio(u"mnu_DorvanICancelar", u"Cancelar"),
    menu(u"MNU_EmergenteCambioDeLoteSerie", u"EmergenteCambioDeLoteSerie"),
        codigo(u"MNU_EmergenteCambioDeLoteSerieCambiar", u"Cambiar N° de Lote/Serie", u"CAMBIAR", LuegoSalir),
        separador(),
        vacio(u"MNU_EmergenteCambioDeLoteSerieCancelar", u"Cancelar", LuegoSalir),
    menu(u"MNU_EMERGENTE_DIRECCIONES_CUENTAS", u"EMERGENTE_DIRECCIONES_CUENTAS"),
        codigo(u"MNU_EMERGENTE_DIRECCIONES_CUENTAS_NUEVA_DIRECCION", u"Insertar una Nueva Direccion", u"INSERTAR", LuegoSalir),
        separador(),
        codigo(u"MNU_EMERGENTE_DIRECCIONES_CUENTAS_EDITAR", u"Editar Direccion", u"EDITAR", LuegoSalir),
        separador(),
        codigo(u"MNU_EMERGENTE_DIRECCIONES_CUENTAS_ELIMINAR", u"Eliminar Direccion", u"ELIMINAR", LuegoSalir),
        separador(),
        sinManejador(u"MNU_EMERGENTE_DIRECCIONES_CUENTAS_CANCELAR", u"Cancelar"),
    menu(u"MENU_EMERGENTE_CONSULTA_SALDOS", u"EMERGENTE_CONSULTA_SALDOS"),
        codigo(u"MENU_EMERGENTE_CONSULTA_SALDOS_DETALLE_CPTES", u"Consulta Detalle de Comprobantes", u"ACCESO_A_COMPROBANTES"),
        codigo(u"MENU_EMERGENTE_CONSULTA_CH_CARTERA", u"Consuta Cheques en Cartera", u"ACCESO_A_CHEQUES_EN_CARTERA"),
        separador(),
        codigo(u"MENU_EMERGENTE_CONSULTA_SALDOS_COBRANAS", u"Ingreso a Cobranzas", u"ACCESO_A_PAGOS_COBRANZAS"),
        separador(),
        codigo(u"MENU_EMERGENTE_CONSULTA_SALDOS_INGRESO_A_CUENTA", u"Ingreso a Cuenta", u"ACCESO_A_CUENTA"),
        codigo(u"MENU_EMERGENTE_CONSULTA_SALDOS_CRM", u"Ingreso a CRM del Cliente", u"ACCESO_A_CRM"),
        separador(),
        codigo(u"MNU_ModificarClasificacionCrediticia", u"Modificar Clasificacion Crediticia", u"MODIFICA_CLASIFICACION_CREDITICIA"),
        separador(),
        vacio(u"MENU_EMERGENTE_CONSULTA_SALDOS_CANCELAR", u"Cancelar"),
    menu(u"MNU_COBRANZAS_GLOBALES_CUOTAS", u"EMERGENTE_COBRANZAS_GLOBALES_CUOTAS"),
        codigo(u"CANCELACION_PARCIAL_CUOTAS", u"Acceder a Cancelacion de Cuotas Manuales", u"CANCELACION_MANUAL_CUOTAS"),
        codigo(u"CONSULTA_SALDOS_PENDIENTES", u"Consulta Saldos Pendientes Cliente", u"CONSULTA_SALDOS_PENDIENTES"),
        separador(),
        vacio(u"EMERGENTE_COBRANZAS_GLOBALES_CUOTAS_CANCELAR", u"Cancelar"),
    menu(u"MNU_EMERGENTE_RMA_ASIGNACION", u"EMERGENTE_RMA_ASIGNACION"),
        codigo(u"EMERGENTE_RMA_ASIGNACION_ASIGNAR_A_PROVEEDOR", u"Asignar los Items Seleccionados a un Proveedor", u"SeleccionadosAProveedor"),
        codigo(u"EMERGENTE_RMA_ASIGNACION_ASIGNAR_TODOS_A_PROVEEDOR", u"Asignar Todos los Items a un Proveedor", u"TodosAProveedor"),
        separador(),
        codigo(u"EMERGENTE_RMA_ASIGNACION_DESASIGNAR_SELECCIONADOS_A_PROVEEDOR", u"Desasignar Los items Seleccionados", u"DesasignarSeleccionados"),
        separador(),
        vacio(u"EMERGENTE_RMA_ASIGNACION_cancelar", u"Cancelar"),
    menu(u"MNU_CONTEXTUAL_RMA", u"RMA SEGUMIENTO"),
        submenu(u"MNU_CONTEXTUAL_RMA_ASIGNAR_ESTADO", u"Asignar el Siguiente Estado"),
            arregloEtiqueta(u"MNU_CONTEXTUAL_RMA_ESTADOS", u"(COMPLETAR)"),
        finSubmenu(),
        codigo(u"MNU_CONTEXTUAL_RMA_INSERTAR_COMENTARIO", u"Insertar Comentarios", u"INSERTAR_COMENTARIOS"),
        separador(),
        sinManejador(u"MNU_CONTEXTUAL_RMA_CANCELAR", u"Cancelar"),
    menu(u"MNU_CONTEXTUAL_RMA_ORDENES", u"RMA SEGUMIENTO ORDENES"),
        codigo(u"MNU_CONTEXTUAL_RMA_ORDENES_FINALIZAR", u"Finalizar la Orden", u"FINALIZAR_ORDEN"),
        separador(),
        sinManejador(u"MNU_CONTEXTUAL_RMA_ORDENES_CANCELAR", u"Cancelar"),
};
// clang-format on

} // namespace

std::span<const Fila> filas()
{
    return kFilas;
}

} // namespace TablaMenus
